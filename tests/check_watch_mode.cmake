# Runs korvane_host in watch mode. MODE selects the check:
#   simulated  two simulated cameras and one the simulation lacks, for two seconds: events
#              and objects of both, the failed login beside the third camera (its password
#              from a file) and the error result of the settings it could not take, the
#              summary; a missing password file is refused before any camera is contacted
#   interrupt  a run without an end, interrupted once it has bound its cameras: exit 0
#   maker      a Camera SDK with only its entry points (MAKER_SDK_DIR), as the maker's is:
#              the host starts, the login fails with its line, --simulate is refused
# LAUNCHER (empty, or a cross build's runner: Wine's or qemu's) starts the host; SIMULATION
# is the simulation file.

function(expect_match output pattern what)
    if(NOT output MATCHES "${pattern}")
        message(FATAL_ERROR "${what} is missing:\n${output}")
    endif()
endfunction()

function(expect_summary output camera opened)
    expect_match("${output}"
        "\"camera\": \"${camera}\", \"events\": [0-9]+, \"kind\": \"summary\", \"objects\": [0-9]+, \"sessionOpened\": ${opened}"
        "the summary of ${camera}")
endfunction()

function(expect_nothing_alive output)
    expect_match("${output}"
        "\"badDestructions\": 0, \"hostObjectsAlive\": 0, \"kind\": \"summary\", [^\n]*\"pluginObjectsAlive\": 0"
        "the summary with nothing left alive")
endfunction()

set(session_failure "did not open: the login failed \\(OSTREL_GetLastError\\(\\) = ")

if(MODE STREQUAL "simulated")
    file(WRITE watch_password.txt "secret\n")
    file(WRITE watch_apply.json "{}")
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --simulate ${SIMULATION} --json --seconds 2
            --log watch_simulated.log --rules-svg watch_rules.svg --apply watch_apply.json
            --camera http://10.0.0.1:8000/ --login admin --password secret --id lobby
            --camera http://10.0.0.2:8000/ --login admin --password secret --id yard --channel 1
            --camera http://10.0.0.3:8000/ --login admin --password-file watch_password.txt
        OUTPUT_VARIABLE output RESULT_VARIABLE result)
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "exit ${result}, expected 1 (a session did not open):\n${output}")
    endif()
    foreach(camera lobby yard)
        expect_match("${output}" "\"camera\": \"${camera}\",[^\n]*\"kind\": \"event\"" "an event of ${camera}")
        expect_match("${output}" "\"camera\": \"${camera}\", \"kind\": \"object\"" "an object of ${camera}")
        expect_summary("${output}" ${camera} true)
    endforeach()
    expect_match("${output}"
        "\"camera\": \"10.0.0.3\", \"kind\": \"diagnostic\", \"line\": \"[^\n]*10.0.0.3:8000 ${session_failure}3\\)"
        "the failed login beside its camera")
    expect_summary("${output}" 10.0.0.3 false)
    expect_match("${output}"
        "\"camera\": \"10.0.0.3\", \"kind\": \"error\", \"message\": \"the settings delivery answered otherError: [^\n]*there is no camera session"
        "the settings delivery's error result beside its camera")
    expect_match("${output}" "\"whatFailed\": \\[[^\n]*10.0.0.3: the camera session did not open"
        "what failed, in the summary")
    if(output MATCHES "\"camera\": \"(lobby|yard)\", \"kind\": \"error\"")
        message(FATAL_ERROR "an error beside a camera that took the settings:\n${output}")
    endif()
    expect_nothing_alive("${output}")
    file(READ watch_rules.svg svg)
    expect_match("${svg}" "lobby.*yard.*10.0.0.3" "a frame per camera in the SVG")
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --simulate ${SIMULATION} --log watch_simulated.log
            --camera http://10.0.0.1:8000/ --login admin --password-file watch_missing.txt
        OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
    if(NOT result EQUAL 2 OR NOT errors MATCHES "cannot read the password file watch_missing.txt"
       OR output MATCHES "connected")
        message(FATAL_ERROR "a missing password file: exit ${result}:\n${errors}${output}")
    endif()
elseif(MODE STREQUAL "interrupt")
    execute_process(
        COMMAND sh -c "rm -f watch_interrupt.out
            host=$0; simulation=$1; shift
            \"$@\" \"$host\" --simulate \"$simulation\" --json --log watch_interrupt.log >watch_interrupt.out &
            pid=$!; tries=0
            while [ $tries -lt 600 ]; do
                bound=$(grep -c '\"kind\": \"connected\"' watch_interrupt.out 2>/dev/null)
                [ \"\${bound:-0}\" -ge 2 ] && break
                sleep 0.1; tries=$((tries + 1)); done
            kill -INT $pid; wait $pid" ${HOST} ${SIMULATION} ${LAUNCHER}
        RESULT_VARIABLE result)
    file(READ watch_interrupt.out output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "exit ${result} after the interrupt, expected 0:\n${output}")
    endif()
    expect_summary("${output}" lobby true)
    expect_summary("${output}" yard true)
    expect_nothing_alive("${output}")
elseif(MODE STREQUAL "maker")
    set(ENV{LD_LIBRARY_PATH} "${MAKER_SDK_DIR}")
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --camera http://127.0.0.1:8000/ --login admin --password secret
            --seconds 1 --json --log watch_maker.log
        OUTPUT_VARIABLE output RESULT_VARIABLE result)
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "exit ${result}, expected 1 (the login fails):\n${output}")
    endif()
    expect_match("${output}" "\"camera\": \"127.0.0.1\", \"kind\": \"diagnostic\", [^\n]*${session_failure}77\\)"
        "the failed login")
    expect_summary("${output}" 127.0.0.1 false)
    expect_nothing_alive("${output}")
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --simulate ${SIMULATION} --seconds 1 --log watch_maker.log
        ERROR_VARIABLE errors RESULT_VARIABLE result)
    if(NOT result EQUAL 2 OR NOT errors MATCHES "--simulate needs the Camera SDK stand-in")
        message(FATAL_ERROR "--simulate with the maker's SDK: exit ${result}:\n${errors}")
    endif()
else()
    message(FATAL_ERROR "unknown MODE ${MODE}")
endif()
