# add_qiv_test(NAME SOURCES... LIBS ...): one GoogleTest executable registered with CTest.
# Tests run from the build tree with QIV_SOURCE_DIR pointing at the sources, so they find
# layouts/ and examples/ without depending on the current directory.
function(add_qiv_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                                        qiv_warnings)
  target_compile_definitions(${name} PRIVATE QIV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QIV_SOURCE_DIR=${PROJECT_SOURCE_DIR};${ARG_ENV}")
endfunction()
