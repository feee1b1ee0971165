# Runs TOOL with OPTION and keeps what it prints in OUTPUT (a build step cannot redirect portably).
execute_process(COMMAND ${TOOL} ${OPTION} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "${TOOL} ${OPTION} failed: ${result}")
endif()
