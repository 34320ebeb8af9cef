# desktop-file-validate on the menu entry: fails on an error or a warning (hints pass).
# Argument: DESKTOP_FILE.
find_program(validate desktop-file-validate REQUIRED)
execute_process(COMMAND ${validate} ${DESKTOP_FILE} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR "${out}${err}" MATCHES "(error|warning):")
  message(FATAL_ERROR "desktop-file-validate (${rc}):\n${out}${err}")
endif()
