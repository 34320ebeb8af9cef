# The program as a command: exit status, standard output and standard error of each way to
# start it, compared exactly. Runs without a display (the caller unsets DISPLAY and sets the
# offscreen platform). Arguments: QIV_PROTO, SOURCE_DIR, WORK_DIR, VERSION.
file(READ ${SOURCE_DIR}/tests/scripts/usage.txt usage)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY ${SOURCE_DIR}/examples/leaves.txt DESTINATION ${WORK_DIR})

function(expect what expected_rc expected_out expected_err)
  execute_process(COMMAND ${QIV_PROTO} ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc STREQUAL expected_rc OR NOT out STREQUAL expected_out OR NOT err STREQUAL expected_err)
    message(SEND_ERROR "${what}: exit status ${rc} (expected ${expected_rc})\n"
                       "stdout:\n${out}\nexpected:\n${expected_out}\n"
                       "stderr:\n${err}\nexpected:\n${expected_err}")
  endif()
endfunction()

set(no_display "qiv_proto: no display found. Run a session script with\n  qiv_proto --script FILE\nor call a function by name: qiv_proto NAME ARG...\n")

expect("--help" 0 "${usage}" "" --help)
expect("--help with more words" 0 "${usage}" "" --help --bogus)
expect("--version" 0 "qiv_proto ${VERSION}\n" "" --version)
expect("an unknown option" 2 "" "qiv_proto: unknown option \"--bogus\"\n${usage}" --bogus)
expect("a short option" 2 "" "qiv_proto: unknown option \"-h\"\n${usage}" -h)
expect("--script alone" 2 "" "qiv_proto: --script takes one SCRIPT file\n${usage}" --script)
expect("a file and more" 2 ""
       "qiv_proto: \"nothing.txt\" is no file to load; after FILE only files\n${usage}"
       leaves.txt nothing.txt)
expect("a call by name" 0 "1\n" "" isvarname End)
expect("an option-like input of a call" 0 "0\n" "" isvarname -x)
# A call that fails exits 1; an output that is itself the failure stays on stdout, the reason
# goes to stderr.
expect("an unknown name" 1 "Run-time Error: No function named \"nosuch\" exists.\n" "" nosuch)
expect("too few inputs" 1 "Not enough input arguments.\n" "" dload)
expect("a file dload cannot open" 0 "-1\n"
       "Cannot open no_such_file.txt: No such file or directory.\n" dload no_such_file.txt)
# A file opens the windows; without a display there are none to open.
expect("a file without a display" 1 "" "${no_display}" leaves.txt)
expect("no words without a display" 1 "" "${no_display}")
