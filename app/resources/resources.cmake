# Included by app/CMakeLists.txt: the build-time generator of the start-screen
# picture and the desktop icons, its generated source in fotrix_app, and the
# language files copied where the program looks for them in the build tree.
set(art_sources canvas.cpp icon_art.cpp splash_art.cpp title_font.cpp tool_art.cpp)
list(TRANSFORM art_sources PREPEND "${CMAKE_CURRENT_LIST_DIR}/art/")
add_executable(fotrix-resource-generator "${CMAKE_CURRENT_LIST_DIR}/program/resource_generator.cpp" ${art_sources})
target_include_directories(fotrix-resource-generator PRIVATE "${CMAKE_SOURCE_DIR}")
target_link_libraries(fotrix-resource-generator PRIVATE fotrix_image fotrix_archive)

set(FOTRIX_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated" CACHE INTERNAL "Generated resources")
set(FOTRIX_ICON_DIR "${CMAKE_BINARY_DIR}/generated/icons/hicolor" CACHE INTERNAL "Generated hicolor icons")
set(splash_source "${FOTRIX_GENERATED_DIR}/splash_resource_data.cpp")
set(icon_outputs "")
foreach(size 16 32 48 64 128 256)
  list(APPEND icon_outputs "${FOTRIX_ICON_DIR}/${size}x${size}/apps/fotrix-pocket.png")
endforeach()
add_custom_command(
  OUTPUT "${splash_source}" "${FOTRIX_GENERATED_DIR}/splash.zip" "${FOTRIX_GENERATED_DIR}/splash.bmp" ${icon_outputs}
  COMMAND fotrix-resource-generator "${splash_source}" "${FOTRIX_ICON_DIR}"
  DEPENDS fotrix-resource-generator
  COMMENT "Painting the start-screen picture and the icons"
  VERBATIM)
target_sources(fotrix_app PRIVATE "${splash_source}")
add_custom_target(fotrix_icons DEPENDS ${icon_outputs})

# Language files beside a program in build/app/ and in the share folder that
# the lookup order also tries (see docs/resources.md).
file(GLOB language_files CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/app/languages/*.lng")
set(language_copies "")
foreach(file ${language_files})
  get_filename_component(name "${file}" NAME)
  foreach(dir "${CMAKE_BINARY_DIR}/app" "${CMAKE_BINARY_DIR}/share/fotrix-pocket/languages")
    add_custom_command(OUTPUT "${dir}/${name}" COMMAND ${CMAKE_COMMAND} -E copy "${file}" "${dir}/${name}"
                       DEPENDS "${file}" VERBATIM)
    list(APPEND language_copies "${dir}/${name}")
  endforeach()
endforeach()
add_custom_target(fotrix_languages ALL DEPENDS ${language_copies})
add_dependencies(fotrix_app fotrix_languages fotrix_icons)
