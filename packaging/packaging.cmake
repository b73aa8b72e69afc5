# Install rules and the Debian package (included from the top-level
# CMakeLists.txt after every module). Programs are installed when their
# targets exist in this build.
include(GNUInstallDirs)
foreach(program fotrix fotrix-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# The slideshow program the album builder copies in front of each
# self-running slideshow; the builder looks beside itself first, then here.
if(TARGET fotrix-slide)
  install(TARGETS fotrix-slide RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/fotrix-pocket)
endif()
# The program finds them at bin/../share/fotrix-pocket/languages/.
install(DIRECTORY "${CMAKE_SOURCE_DIR}/app/languages/" DESTINATION ${CMAKE_INSTALL_DATADIR}/fotrix-pocket/languages
        FILES_MATCHING PATTERN "*.lng")
install(FILES "${CMAKE_SOURCE_DIR}/packaging/fotrix.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${CMAKE_SOURCE_DIR}/packaging/fotrix-album.xml" DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
if(DEFINED FOTRIX_ICON_DIR)
  install(DIRECTORY "${FOTRIX_ICON_DIR}/" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
endif()

set(CPACK_PACKAGE_NAME "fotrix-pocket")
set(CPACK_PACKAGE_VENDOR "Fotrix Pocket developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Picture viewer, browser and converter for small touch screens")
set(CPACK_PACKAGE_VERSION "1.0.0")
set(CPACK_PACKAGE_CONTACT "Fotrix Pocket developers <fotrix@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_GENERATOR "DEB")
include(CPack)

# The desktop entry must satisfy the desktop files' own checker, or file
# managers drop it silently.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(FOTRIX_TESTS AND DESKTOP_FILE_VALIDATE)
  add_test(NAME packaging_desktop_entry
           COMMAND ${DESKTOP_FILE_VALIDATE} "${CMAKE_SOURCE_DIR}/packaging/fotrix.desktop")
elseif(FOTRIX_TESTS)
  message(STATUS "desktop-file-validate not found: the desktop entry is not checked")
endif()
