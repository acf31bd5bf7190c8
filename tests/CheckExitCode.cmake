# Runs EXE with ARGS and fails unless it exits with EXPECTED.
execute_process(COMMAND "${EXE}" ${ARGS} RESULT_VARIABLE code OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT code EQUAL EXPECTED)
    message(FATAL_ERROR "exit code ${code}, expected ${EXPECTED}: ${err}")
endif()
