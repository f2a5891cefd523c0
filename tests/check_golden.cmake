# Runs the command-line host on the default scenario with JSON output and compares what it
# prints with the golden file; the exit code must be 0 too. LAUNCHER (empty, or Wine's runner
# for a Windows build) starts the host; Windows ends console lines with CR LF, which counts
# as the same output.
execute_process(
    COMMAND ${LAUNCHER} ${HOST} --json --log korvane_host_golden.log
    OUTPUT_VARIABLE output
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "korvane_host exited with ${result}:\n${output}")
endif()
string(REPLACE "\r\n" "\n" output "${output}")
file(READ ${GOLDEN} expected)
if(NOT output STREQUAL expected)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/korvane_host_actual.jsonl "${output}")
    message(FATAL_ERROR "korvane_host output differs from ${GOLDEN}; see korvane_host_actual.jsonl:\n${output}")
endif()
