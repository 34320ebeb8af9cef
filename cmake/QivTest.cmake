# qiv_layouts_beside(TARGET): copies layouts/ next to TARGET's executable after each link,
# where the program looks for its windows when they are not in the current directory.
function(qiv_layouts_beside target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/layouts
            $<TARGET_FILE_DIR:${target}>/layouts)
endfunction()

# add_qiv_test(NAME SOURCES... LIBS ...): one GoogleTest executable registered with CTest.
# Tests run from the build tree with QIV_SOURCE_DIR pointing at the sources, so they find
# examples/ without depending on the current directory; the layouts lie beside the test
# executable, as they lie beside the program.
function(add_qiv_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                                        qiv_warnings)
  target_compile_definitions(${name} PRIVATE QIV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  qiv_layouts_beside(${name})
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QIV_SOURCE_DIR=${PROJECT_SOURCE_DIR};${ARG_ENV}")
endfunction()
