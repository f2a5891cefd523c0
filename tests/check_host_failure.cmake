# Runs the command-line host on a scenario with a step that cannot run: it must exit with 1
# and report the failed step. LAUNCHER (empty, or Wine's runner) starts the host.
execute_process(
    COMMAND ${LAUNCHER} ${HOST} --log korvane_host_failing.log ${SCENARIO}
    OUTPUT_VARIABLE output
    RESULT_VARIABLE result)
if(NOT result EQUAL 1)
    message(FATAL_ERROR "korvane_host exited with ${result}, expected 1:\n${output}")
endif()
if(NOT output MATCHES "ERROR in frames: the camera is not connected")
    message(FATAL_ERROR "the failed step is not reported:\n${output}")
endif()
