# Runs the factory generator into a scratch folder and fails when its output differs from
# the committed files.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${PYTHON}" "${ROOT}/tools/factory/generate.py" "${WORK}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the generator failed: ${result}")
endif()
execute_process(COMMAND diff -r "${WORK}" "${ROOT}/resources/factory" RESULT_VARIABLE different OUTPUT_QUIET)
if(NOT different EQUAL 0)
    message(FATAL_ERROR "resources/factory differs from what tools/factory/generate.py writes; run it again")
endif()
