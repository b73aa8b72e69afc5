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
