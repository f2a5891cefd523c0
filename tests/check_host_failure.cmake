# Runs the command-line host on scenarios that must fail: each exits with 1 and reports what
# failed. LAUNCHER (empty, or a cross build's runner) starts the host.
file(WRITE unable_camera.json [[{
    "cameras": [{"name": "yard", "address": "10.0.0.2", "channelCount": 4,
                 "channels": [{"number": 2}], "device": {"channel": 2}}],
    "steps": [{"atMs": 0, "do": "connect", "camera": "yard"},
              {"atMs": 10, "do": "frames", "camera": "yard", "count": 2}]}]])
# scenario | what the report says
set(cases
    "${SCENARIO}|ERROR in frames: the camera is not connected"
    "unable_camera.json|summary FAILED: yard: the smart-rule capabilities could not be read")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" case "${case}")
    list(GET case 0 scenario)
    list(GET case 1 expected)
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --log korvane_host_failing.log ${scenario}
        OUTPUT_VARIABLE output
        RESULT_VARIABLE result)
    if(NOT result EQUAL 1 OR NOT output MATCHES "${expected}")
        message(FATAL_ERROR "${scenario}: exit ${result}, expected 1 and \"${expected}\":\n${output}")
    endif()
endforeach()
