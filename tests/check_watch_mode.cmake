# Runs korvane_host in watch mode. MODE selects the check:
#   simulated  two simulated cameras and one the simulation lacks, for two seconds, the
#              plugin's lines on standard error (--log -): events and objects of both, the
#              failed login beside the third camera (its password from a file) and the error
#              result of the settings it could not take, the summary, the rules picture
#              (legend, a kind switched off, the camera without a session, labels apart), no
#              video for the second camera while it is away; cameras that end unable to
#              deliver fail the run, one repaired does not, an alarm code the plugin does not
#              know is shown; a missing password file is refused before any camera is
#              contacted
#   interrupt  a run without an end, interrupted once it has bound its cameras: exit 0
#   maker      a Camera SDK with only its entry points (MAKER_SDK_DIR, on the loader's
#              path), as the maker's is: the host starts and names it, the login fails with
#              its line; a simulation still gets the stand-in
#   recorded   the recording Camera SDK (RECORDER) preloaded over the stand-in: the cameras
#              work as without it, and the capture, created for its owner alone and
#              announced, is JSON Lines that start with the format's version, hold the
#              sessions, rules, deliveries and a failed login with its last error, and never
#              the password; then captures of the built-in scenario: an existing file is
#              kept, the default file is in TMPDIR, a size that is not a positive number is
#              refused with one line
#   recorder_incomplete  the recorder over a Camera SDK lacking an entry point
#              (INCOMPLETE_SDK): one line names it, and the plugin is refused
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
set(camera_sdk "\"kind\": \"cameraSdk\", \"library\": \"")

# Checks that `path` is a capture readable and writable by its owner alone.
function(expect_private_capture path)
    file(STRINGS "${path}" header LIMIT_COUNT 1)
    execute_process(COMMAND stat -c %a "${path}" OUTPUT_VARIABLE mode OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT header MATCHES "^{\"format\": \"korvane-sdk-capture\"" OR NOT mode STREQUAL "600")
        message(FATAL_ERROR "${path} (mode ${mode}) is not a private capture:\n${header}")
    endif()
endfunction()

if(MODE STREQUAL "simulated")
    file(WRITE watch_password.txt "secret\n")
    file(WRITE watch_apply.json "{}")
    file(REMOVE -)
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --simulate ${SIMULATION} --json --seconds 2
            --log - --rules-svg watch_rules.svg --apply watch_apply.json
            --camera http://10.0.0.1:8000/ --login admin --password secret --id lobby
            --camera http://10.0.0.2:8000/ --login admin --password secret --id yard --channel 1
            --camera http://10.0.0.3:8000/ --login admin --password-file watch_password.txt
        OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "exit ${result}, expected 1 (a session did not open):\n${output}")
    endif()
    if(EXISTS - OR NOT errors MATCHES "\\[korvane_event_analytics_plugin_device_[^\n]*10.0.0.3:8000 ${session_failure}")
        message(FATAL_ERROR "--log -: the plugin's lines are not on standard error:\n${errors}")
    endif()
    expect_match("${output}" "${camera_sdk}[^\"]*OstrelSDK\\.(so|dll)\"" "the Camera SDK library")
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
    expect_match("${svg}" ">Cross Line<.*>Intrusion<.*>Enter Area<.*>Leave Area<" "the legend")
    expect_match("${svg}" "<polygon fill=\"#9a9a9a\"[^>]*stroke-dasharray" "an area of a kind switched off, dashed and grey")
    expect_match("${svg}" ">10.0.0.3</text>\n<rect [^\n]*\n<text class=\"note\"[^>]*>no session<" "the camera without a session")
    if(svg MATCHES "<polyline stroke=\"#00a0ff\"[^>]*stroke-dasharray")
        message(FATAL_ERROR "an active rule drawn as one switched off:\n${svg}")
    endif()
    # lobby's five rules start at one point: no two labels (at most 330 wide, 17 high) overlap.
    string(REGEX MATCHALL "class=\"label[^\"]*\" x=\"[0-9]+\\.[0-9]+\" y=\"[0-9]+" labels "${svg}")
    list(LENGTH labels count)
    set(placed "")
    foreach(label IN LISTS labels)
        string(REGEX REPLACE ".* x=\"([0-9]+)\\.[0-9]+\" y=\"([0-9]+)" "\\1;\\2" xy "${label}")
        list(GET xy 0 x)
        list(GET xy 1 y)
        foreach(other IN LISTS placed)
            string(REPLACE "," ";" other "${other}")
            list(GET other 0 ox)
            list(GET other 1 oy)
            math(EXPR dx "(${x} - ${ox}) * (${x} - ${ox})")
            math(EXPR dy "(${y} - ${oy}) * (${y} - ${oy})")
            if(dx LESS 108900 AND dy LESS 289)
                message(FATAL_ERROR "two labels overlap at ${x},${y} and ${ox},${oy}:\n${svg}")
            endif()
        endforeach()
        list(APPEND placed "${x},${y}")
    endforeach()
    if(count LESS 5)
        message(FATAL_ERROR "lobby's five labels are missing:\n${svg}")
    endif()
    # The yard camera is away for 1.2 of the 2 seconds: its stream is down meanwhile.
    string(REGEX REPLACE "[][]" "" log "${errors}")  # brackets would group list items
    foreach(camera lobby yard)
        string(REGEX MATCHALL "_device_${camera} doPushDataPacket\\(\\) BEGIN" frames "${log}")
        list(LENGTH frames ${camera}_frames)
    endforeach()
    math(EXPR limit "${lobby_frames} * 3 / 4")
    if(lobby_frames LESS 10 OR NOT yard_frames LESS limit)
        message(FATAL_ERROR "video frames: lobby ${lobby_frames}, yard ${yard_frames} (away)")
    endif()
    # Cameras that cannot deliver: one without its alarm callback (its first retry, at the
    # first frame, fails too), one whose channel lacks (so that its capabilities cannot be
    # read), which also raises a code the plugin lacks; one whose alarm callback is installed
    # at the first retry delivers.
    file(WRITE watch_unable.json [[{
        "cameras": [
            {"name": "nocallback", "address": "10.0.1.1", "failures": [
                {"op": "OSTREL_SetAlarmCallback", "call": 1, "error": 9},
                {"op": "OSTREL_SetAlarmCallback", "call": 2, "error": 9},
                {"op": "OSTREL_SetAlarmCallback", "call": 3, "error": 9}]},
            {"name": "yard", "address": "10.0.0.2", "channelCount": 4,
             "channels": [{"number": 2}], "device": {"channel": 2}},
            {"name": "repaired", "address": "10.0.1.3", "failures": [
                {"op": "OSTREL_SetAlarmCallback", "call": 1, "error": 9}]}],
        "activity": [{"camera": "yard", "everyMs": 100, "alarm": 4242}]}]])
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --simulate watch_unable.json --seconds 2 --log watch_unable.log
            --test-option sessionPollMs=100
        OUTPUT_VARIABLE output RESULT_VARIABLE result)
    expect_match("${output}" "yard +camera alarm 4242 -> no event \\(a code the plugin does not know\\)"
        "the unknown alarm code beside its camera")
    expect_match("${output}" "repaired +plugin: The alarm callback was installed on the camera 10.0.1.3:80 after"
        "the repaired alarm callback beside its camera")
    expect_match("${output}" "summary FAILED: nocallback: the alarm callback could not be installed [^;]*; yard: the smart-rule capabilities could not be read; objects"
        "what failed, in the summary (the repaired camera not among it)")
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "exit ${result}, expected 1 (two cameras cannot deliver):\n${output}")
    endif()
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
    expect_match("${output}" "${camera_sdk}${MAKER_SDK_DIR}/libOstrelSDK.so\"" "the maker's library")
    # The stand-in, loaded before the plugin, is the Camera SDK of a simulation, whatever
    # the loader would find.
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --simulate ${SIMULATION} --seconds 1 --json --log watch_maker.log
        OUTPUT_VARIABLE output RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR output MATCHES "${MAKER_SDK_DIR}" OR NOT output MATCHES "\"kind\": \"event\"")
        message(FATAL_ERROR "--simulate with the maker's SDK on the loader's path: exit ${result}:\n${output}")
    endif()
elseif(MODE STREQUAL "recorded")
    set(capture "${CMAKE_CURRENT_BINARY_DIR}/watch_recorded.jsonl")
    file(REMOVE "${capture}")
    set(ENV{LD_PRELOAD} "${RECORDER}")
    set(ENV{KORVANE_SDK_CAPTURE} "${capture}")
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --simulate ${SIMULATION} --json --seconds 2 --rules
            --log watch_recorded.log
            --camera http://10.0.0.1:8000/ --login admin --password secret --id lobby
            --camera http://10.0.0.3:8000/ --login admin --password secret
        OUTPUT_VARIABLE output RESULT_VARIABLE result)
    unset(ENV{LD_PRELOAD})
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "exit ${result}, expected 1 (a session did not open):\n${output}")
    endif()
    expect_match("${output}" "\"camera\": \"lobby\", \"kind\": \"object\"" "an object of lobby")
    expect_summary("${output}" lobby true)
    expect_match("${output}" "10.0.0.3:8000 ${session_failure}3\\)" "the failed login")
    file(READ $ENV{KORVANE_SDK_CAPTURE} capture)
    if(capture MATCHES "secret")
        message(FATAL_ERROR "the password is in the capture")
    endif()
    string(REGEX REPLACE "\n$" "" capture "${capture}")
    string(REPLACE ";" "\\;" capture "${capture}")
    string(REPLACE "\n" ";" lines "${capture}")
    list(GET lines 0 first)
    expect_match("${first}" "^{\"format\": \"korvane-sdk-capture\", [^\n]*\"version\": 1}$" "the version record")
    foreach(line IN LISTS lines)
        string(JSON type ERROR_VARIABLE error TYPE "${line}")
        if(error OR NOT type STREQUAL "OBJECT")
            message(FATAL_ERROR "a capture line is not a JSON object (${error}):\n${line}")
        endif()
    endforeach()
    expect_match("${capture}" "\"op\": \"OSTREL_Login\", [^\n]*\"password\": \"given\"" "the login")
    expect_match("${capture}" "\"lastError\": 3, [^\n]*\"op\": \"OSTREL_Login\"" "the failed login")
    expect_match("${capture}" "\"op\": \"OSTREL_GetLineCrossRules\", \"out\": {\"count\"" "a rule read")
    expect_match("${capture}" "\"callback\": \"structured\", \"record\": {\"faces\"" "a detection")
    expect_match("${capture}" "\"end\": \"process exit\", \"t\": [0-9]+}$" "the end record")
    file(READ watch_recorded.log log)
    expect_match("${log}" "korvane SDK recorder: recording to $ENV{KORVANE_SDK_CAPTURE}\n" "the announcement")
    expect_private_capture($ENV{KORVANE_SDK_CAPTURE})

    # Captures of the built-in scenario. What is there before | KORVANE_SDK_CAPTURE |
    # KORVANE_SDK_CAPTURE_MAX_MB | the capture made | the recorder's line (a "." for ";")
    cmake_policy(SET CMP0007 NEW)  #< Empty fields count.
    set(kept "${CMAKE_CURRENT_BINARY_DIR}/watch_recorded_kept")
    set(folder "${CMAKE_CURRENT_BINARY_DIR}/watch_recorded_tmp")
    set(cases
        "${kept}.jsonl|${kept}.jsonl||${kept}.1.jsonl|${kept}.jsonl is there already and is kept. recording to ${kept}.1.jsonl"
        "${kept}|${kept}||${kept}.1|${kept} is there already and is kept. recording to ${kept}.1\n"
        "|||${folder}/korvane_capture_*.jsonl|recording to ${folder}/korvane_capture_[0-9]+.jsonl"
        "|${kept}.jsonl|0|${kept}.jsonl|KORVANE_SDK_CAPTURE_MAX_MB=0 is not a positive number of MiB. the capture grows to 100 MiB at most"
        "|${kept}.jsonl|12abc|${kept}.jsonl|KORVANE_SDK_CAPTURE_MAX_MB=12abc is not a positive number")
    foreach(case IN LISTS cases)
        string(REPLACE "|" ";" case "${case}")
        list(GET case 0 before)
        list(GET case 1 named)
        list(GET case 2 megabytes)
        list(GET case 3 made)
        list(GET case 4 line)
        file(REMOVE_RECURSE "${folder}" "${kept}" "${kept}.1" "${kept}.jsonl" "${kept}.1.jsonl")
        file(MAKE_DIRECTORY "${folder}")
        if(before)
            file(WRITE "${before}" "a capture of 77 records\n")
        endif()
        set(ENV{KORVANE_SDK_CAPTURE} "${named}")
        set(ENV{KORVANE_SDK_CAPTURE_MAX_MB} "${megabytes}")
        set(ENV{TMPDIR} "${folder}")
        set(ENV{LD_PRELOAD} "${RECORDER}")
        execute_process(COMMAND ${LAUNCHER} ${HOST} --log watch_recorded_scenario.log
            OUTPUT_VARIABLE output RESULT_VARIABLE result)
        unset(ENV{LD_PRELOAD})
        file(READ watch_recorded_scenario.log log)
        # One line says where the capture goes, and one more refuses a bad size.
        string(REGEX MATCHALL "korvane SDK recorder: " lines "${log}")
        list(LENGTH lines count)
        set(expected_count 1)
        if(NOT megabytes STREQUAL "")
            set(expected_count 2)
        endif()
        file(GLOB made "${made}")
        if(before)
            file(READ "${before}" kept_text)
        endif()
        if(NOT result EQUAL 0 OR NOT count EQUAL expected_count
           OR NOT log MATCHES "korvane SDK recorder: ${line}" OR NOT made
           OR (before AND NOT kept_text STREQUAL "a capture of 77 records\n"))
            message(FATAL_ERROR "before: '${before}', KORVANE_SDK_CAPTURE '${named}', "
                "KORVANE_SDK_CAPTURE_MAX_MB '${megabytes}': exit ${result}, capture '${made}':\n${log}")
        endif()
        expect_private_capture("${made}")
        if(NOT megabytes STREQUAL "")
            file(STRINGS "${made}" header LIMIT_COUNT 1)
            expect_match("${header}" "\"maxBytes\": 104857600," "the default size limit")
        endif()
    endforeach()
    unset(ENV{KORVANE_SDK_CAPTURE_MAX_MB})
    unset(ENV{TMPDIR})
elseif(MODE STREQUAL "recorder_incomplete")
    set(ENV{LD_PRELOAD} "${RECORDER}")
    set(ENV{KORVANE_SDK_TARGET} "${INCOMPLETE_SDK}")
    # The plugin loads with the incomplete library as its Camera SDK, as beside it at a site.
    get_filename_component(incomplete_folder "${INCOMPLETE_SDK}" DIRECTORY)
    set(ENV{LD_LIBRARY_PATH} "${incomplete_folder}")
    set(ENV{KORVANE_SDK_CAPTURE} "${CMAKE_CURRENT_BINARY_DIR}/watch_recorder_incomplete.jsonl")
    file(REMOVE "$ENV{KORVANE_SDK_CAPTURE}")
    execute_process(
        COMMAND ${LAUNCHER} ${HOST} --camera http://127.0.0.1:8000/ --login admin --password secret
            --seconds 1 --json --log watch_recorder_incomplete.log
        OUTPUT_VARIABLE output RESULT_VARIABLE result)
    unset(ENV{LD_PRELOAD})
    expect_match("${output}" "\"message\": \"createNxPlugin refused\"" "the refused plugin")
    file(READ watch_recorder_incomplete.log log)
    string(REGEX MATCHALL "korvane SDK recorder: " recorder_lines "${log}")
    list(LENGTH recorder_lines count)
    if(NOT count EQUAL 2 OR NOT log MATCHES "korvane SDK recorder: recording to "
       OR NOT log MATCHES "lacks OSTREL_GetSmartRuleCombinations \\(ordinal 1297\\); OSTREL_Init fails")
        message(FATAL_ERROR "expected the capture's line and one naming the missing entry point:\n${log}")
    endif()
else()
    message(FATAL_ERROR "unknown MODE ${MODE}")
endif()
