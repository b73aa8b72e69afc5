# fotrix_add_library(NAME [EXCLUDE regexes...] DEPENDS libs...): a static
# library of every .cpp below the calling folder, less the files that match an
# EXCLUDE regex (optional parts that the caller adds when their library is
# found). New source files join on the next configure.
function(fotrix_add_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  foreach(pattern ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "${pattern}")
  endforeach()
  if(NOT sources)
    # A module that has no code yet still links as an empty interface.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE "${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# fotrix_add_test_suite(NAME DEPENDS libs...): one GoogleTest binary of every
# .cpp in the calling folder, registered with CTest test by test.
function(fotrix_add_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} fotrix_testsupport GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "FOTRIX_TESTDATA=${FOTRIX_TESTDATA_DIR}")
endfunction()

# fotrix_add_codec_module(NAME [READER] PACKAGES modules... SOURCES files...):
# when pkg-config finds the packages, builds the module fotrix-codec-NAME.so
# from the sources (relative to the calling folder), linked with the packages
# (and, for a READER, with what the readers over codec libraries share), and sets FOUND_VAR (FOTRIX_<NAME>_FOUND) in the
# caller. The module leaves everything of the library that it calls to the
# program that loads it (imagelib/core/codec_module.h); its own symbols are
# hidden and bound inside it, so none of them can stand in for the program's.
function(fotrix_add_codec_module name)
  cmake_parse_arguments(ARG "READER" "" "PACKAGES;SOURCES" ${ARGN})
  string(TOUPPER "${name}" upper)
  find_package(PkgConfig)
  if(PKG_CONFIG_FOUND)
    pkg_check_modules(FOTRIX_${upper} QUIET IMPORTED_TARGET ${ARG_PACKAGES})
  endif()
  if(NOT FOTRIX_${upper}_FOUND)
    message(STATUS "${ARG_PACKAGES} not found: no ${name} module, its formats are left out")
    set(FOTRIX_${upper}_FOUND FALSE PARENT_SCOPE)
    return()
  endif()
  set(target fotrix-codec-${name})
  list(TRANSFORM ARG_SOURCES PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/")
  if(ARG_READER)
    list(APPEND ARG_SOURCES "${CMAKE_SOURCE_DIR}/imagelib/readers/codec_common.cpp")
  endif()
  add_library(${target} MODULE ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY "${FOTRIX_CODEC_BUILD_DIR}"
                        CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_include_directories(${target} PRIVATE "${CMAKE_SOURCE_DIR}")
  target_compile_definitions(${target} PRIVATE FOTRIX_CODEC_TOKEN="${FOTRIX_CODEC_TOKEN}")
  target_link_libraries(${target} PRIVATE PkgConfig::FOTRIX_${upper})
  target_link_options(${target} PRIVATE LINKER:-Bsymbolic)
  install(TARGETS ${target} LIBRARY DESTINATION "${FOTRIX_CODEC_INSTALL_SUBDIR}")
  # Whatever links the image library may load the module: build it first.
  add_dependencies(fotrix_image ${target})
  set_property(TARGET fotrix_image APPEND PROPERTY FOTRIX_CODECS FOTRIX_HAVE_${upper}=1)
  set(FOTRIX_${upper}_FOUND TRUE PARENT_SCOPE)
endfunction()
