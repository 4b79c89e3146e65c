# One library per source folder: every .cpp in the folder belongs to it, so adding a
# file never needs a CMake edit.
function(zeph_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_library(${name} STATIC ${_sources})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# One GoogleTest program per library, labelled with the library's name.
function(zeph_test_program library)
  # OWN_MAIN: the program brings its own main (for example to create a Qt application).
  # SHARED: sources from tests/common that several programs build in.
  cmake_parse_arguments(ARG "OWN_MAIN" "" "DEPS;SHARED" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT _sources)
    return()  # a library whose tests have not arrived yet
  endif()
  list(TRANSFORM ARG_SHARED PREPEND "${PROJECT_SOURCE_DIR}/tests/common/")
  list(APPEND _sources ${ARG_SHARED})
  set(_target ${library}_tests)
  add_executable(${_target} ${_sources})
  target_include_directories(${_target} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(${_target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${_target} PRIVATE GTest::gtest_main)
  endif()
  # Tests never touch the real home folder: each program gets its own under the build folder.
  set(_home "${CMAKE_CURRENT_BINARY_DIR}/home")
  file(MAKE_DIRECTORY "${_home}")
  gtest_discover_tests(${_target}
    PROPERTIES LABELS ${library}
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TZ=UTC;HOME=${_home};XDG_CONFIG_HOME=${_home}/.config;XDG_DATA_HOME=${_home}/.local/share;XDG_CACHE_HOME=${_home}/.cache;XDG_DOCUMENTS_DIR=${_home}/Documents"
    DISCOVERY_TIMEOUT 60)
endfunction()
