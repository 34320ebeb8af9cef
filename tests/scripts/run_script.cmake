# Runs one session script in an empty work folder that holds a copy of examples/, and
# compares its standard output with the expected file beside the script.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY ${SOURCE_DIR}/examples DESTINATION ${WORK_DIR})
get_filename_component(dir ${SCRIPT} DIRECTORY)
get_filename_component(name ${SCRIPT} NAME_WE)
execute_process(COMMAND ${QIV_PROTO} --script ${SCRIPT}
                WORKING_DIRECTORY ${WORK_DIR}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
file(WRITE ${WORK_DIR}/stdout.txt "${out}")
set(expected_rc 0)
if(EXISTS ${dir}/${name}.rc)
  file(READ ${dir}/${name}.rc expected_rc)
  string(STRIP "${expected_rc}" expected_rc)
endif()
if(NOT rc STREQUAL expected_rc)
  message(FATAL_ERROR "exit status ${rc}, expected ${expected_rc}\nstderr:\n${err}\nstdout:\n${out}")
endif()
file(READ ${dir}/${name}.out expected)
if(NOT out STREQUAL expected)
  execute_process(COMMAND diff -u ${dir}/${name}.out ${WORK_DIR}/stdout.txt OUTPUT_VARIABLE d)
  message(FATAL_ERROR "stdout differs from ${name}.out:\n${d}\nstderr:\n${err}")
endif()
# NAME.same: one pair of files per line, written by the script in its work folder, that must
# be byte for byte equal.
if(EXISTS ${dir}/${name}.same)
  file(STRINGS ${dir}/${name}.same pairs)
  foreach(pair ${pairs})
    separate_arguments(files UNIX_COMMAND "${pair}")
    list(GET files 0 a)
    list(GET files 1 b)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/${a} ${WORK_DIR}/${b}
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
      message(FATAL_ERROR "${a} and ${b} differ (or one is missing)")
    endif()
  endforeach()
endif()
# NAME.files/: every file in it must equal, byte for byte, the file of the same name (and
# relative path) that the script wrote in its work folder.
if(IS_DIRECTORY ${dir}/${name}.files)
  file(GLOB_RECURSE expected_files RELATIVE ${dir}/${name}.files ${dir}/${name}.files/*)
  foreach(f ${expected_files})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${dir}/${name}.files/${f}
                            ${WORK_DIR}/${f}
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
      execute_process(COMMAND diff -u ${dir}/${name}.files/${f} ${WORK_DIR}/${f}
                      OUTPUT_VARIABLE d ERROR_VARIABLE d)
      message(FATAL_ERROR "${f} differs from ${name}.files/${f} (or was not written):\n${d}")
    endif()
  endforeach()
endif()
