# Installs the build into a fresh prefix, checks the installed files, and runs the installed
# program from a folder that holds no layouts. Arguments: BUILD_DIR, SOURCE_DIR, WORK_DIR,
# VERSION.
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${err}")
endif()

# The fixed files, every layout, and every example but the generator that rebuilds them.
file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
list(SORT installed)
file(STRINGS ${SOURCE_DIR}/tests/packaging/installed_files.txt expected)
file(GLOB layouts RELATIVE ${SOURCE_DIR}/layouts ${SOURCE_DIR}/layouts/*.fig)
list(TRANSFORM layouts PREPEND share/qiv_proto/layouts/)
file(GLOB_RECURSE examples RELATIVE ${SOURCE_DIR}/examples ${SOURCE_DIR}/examples/*)
list(FILTER examples EXCLUDE REGEX "(\\.py|\\.pyc)$")
list(TRANSFORM examples PREPEND share/qiv_proto/examples/)
list(APPEND expected ${layouts} ${examples})
list(SORT expected)
if(NOT installed STREQUAL expected)
  string(REPLACE ";" "\n  " got "${installed}")
  string(REPLACE ";" "\n  " want "${expected}")
  message(FATAL_ERROR "installed:\n  ${got}\nexpected:\n  ${want}")
endif()

# Qt wants a private runtime folder and says so on stderr when there is none.
file(MAKE_DIRECTORY ${WORK_DIR}/runtime)
file(CHMOD ${WORK_DIR}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(ENV{XDG_RUNTIME_DIR} ${WORK_DIR}/runtime)

set(exe ${prefix}/bin/qiv_proto)
function(expect_run what expected_rc expected_out expected_err)
  execute_process(COMMAND ${exe} ${ARGN} WORKING_DIRECTORY ${WORK_DIR}/elsewhere
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL expected_rc OR NOT out STREQUAL expected_out OR NOT err STREQUAL expected_err)
    message(FATAL_ERROR "${what}: exit status ${rc} (expected ${expected_rc})\n"
                        "stdout:\n${out}\nexpected:\n${expected_out}\n"
                        "stderr:\n${err}\nexpected:\n${expected_err}")
  endif()
endfunction()

# A user's folder with a copy of the examples, as the manual page suggests.
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
file(COPY ${prefix}/share/qiv_proto/examples DESTINATION ${WORK_DIR}/elsewhere)
expect_run("--version" 0 "qiv_proto ${VERSION}\n" "" --version)
file(READ ${SOURCE_DIR}/tests/packaging/installed.out expected_out)
expect_run("every window" 0 "${expected_out}" "" --script ${SOURCE_DIR}/tests/packaging/installed.qiv)

# A layout missing from the installation: the message names every place looked.
file(REMOVE ${prefix}/share/qiv_proto/layouts/qiv_back.fig)
file(REAL_PATH ${WORK_DIR}/elsewhere here)
file(REAL_PATH ${prefix} real_prefix)
expect_run("a missing layout" 1 ""
           "script: start-up failed: Layout file \"qiv_back.fig\" not found in the current directory ${here}, nor in ${real_prefix}/bin/layouts, nor in ${real_prefix}/share/qiv_proto/layouts.\n"
           --script ${SOURCE_DIR}/tests/packaging/installed.qiv)
