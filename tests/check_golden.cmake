# Runs the command-line host on the default scenario with JSON output and compares what it
# prints with the golden file; the exit code must be 0 too.
execute_process(
    COMMAND ${HOST} --json --log korvane_host_golden.log
    OUTPUT_VARIABLE output
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "korvane_host exited with ${result}:\n${output}")
endif()
file(READ ${GOLDEN} expected)
if(NOT output STREQUAL expected)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/korvane_host_actual.jsonl "${output}")
    message(FATAL_ERROR "korvane_host output differs from ${GOLDEN}; see korvane_host_actual.jsonl:\n${output}")
endif()
