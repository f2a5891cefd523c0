# Runs the Microsoft-ABI host (HOST, started by LAUNCHER) and checks its verdict and the
# plugin's record of the action it executed: the identifiers the host returned by value.
execute_process(COMMAND ${LAUNCHER} ${HOST}
    OUTPUT_VARIABLE output ERROR_VARIABLE diagnostics RESULT_VARIABLE result)
string(REPLACE "\r\n" "\n" output "${output}")
string(REPLACE "\r\n" "\n" diagnostics "${diagnostics}")
if(NOT result EQUAL 0 OR NOT output MATCHES "ABI host: all checks passed\n")
    message(FATAL_ERROR "The Microsoft-ABI host failed (${result}):\n${output}\n${diagnostics}")
endif()
foreach(line "objectTrackId: {00112233-4455-6677-8899-AABBCCDDEEFF}"
             "deviceId: {0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}")
    string(FIND "${diagnostics}" "]     ${line}\n" position)
    if(position EQUAL -1)
        message(FATAL_ERROR "The plugin did not print \"${line}\":\n${diagnostics}")
    endif()
endforeach()
message(STATUS "${output}")
