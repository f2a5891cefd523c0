# Captures of the recording Camera SDK read back by korvane_host. MODE selects the check:
#   round_trip  watches SIMULATION through the recorder (RECORDER, preloaded over the
#               stand-in on Linux; on Windows RECORDER_DLL installed by renaming in a
#               package's layout: the package's tool PACKAGE_HOST, the plugin PLUGIN, and in
#               tools/simulated_cameras the recorder as OstrelSDK.dll with the stand-in
#               STAND_IN renamed OstrelSDK.maker.dll, as at a site), with a camera the
#               simulation lacks and one that restarts (its session lost and opened again,
#               with the plugin's timings shortened); the capture's summary counts that;
#               replays the capture to its end; both runs show the same events and objects
#               with the same attributes in the same order per camera (but near the
#               restart's edges), the same rules read back, the same failed login and the
#               same lost and reopened session
#   bad_input   a capture cut short is read up to its last whole line, with a note (and its
#               summary marks an alarm code the plugin does not know); a session lost and
#               one opened again are counted, and the lost one becomes an outage; an empty
#               file, another format version, a line that is not JSON and a file that is not
#               a capture are refused with the file, the line and what is wrong (exit 2), and
#               --replay starts nothing; none of the runs that load no camera (these,
#               --help, --version) touches the default log
# LAUNCHER (empty, or a cross build's runner) starts the host.

# The lines of `text` about `camera` of the kinds compared, without what differs between two
# runs of the same deliveries: times, timestamps, boxes (they rise frame by frame), tracks,
# and the plugin's waits and attempt counts. Events keep their order, and objects theirs
# (`out`_ordered: the events, then the objects; an alarm becomes an event at once but a
# detection an object at the next frame, so the two interleave by the frames' timing); the
# rules read back and the plugin's lines, which reach the output from other threads and may
# repeat as attempts do, are sorted once each (`out`_unordered).
function(comparable_lines text camera out)
    string(REPLACE ";" "\\;" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(events "")
    set(objects "")
    set(unordered "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "\"(atMs|timestampUs|track)\": [0-9]+,? ?" "" line "${line}")
        string(REGEX REPLACE "\"boundingBox\": \\[[^]]*\\], " "" line "${line}")
        if(line MATCHES "\"camera\": \"${camera}\", [^\n]*\"kind\": \"event\"")
            string(APPEND events "${line}\n")
        elseif(line MATCHES "\"camera\": \"${camera}\", [^\n]*\"kind\": \"object\"")
            string(APPEND objects "${line}\n")
        elseif(line MATCHES "\"camera\": \"${camera}\", [^\n]*\"kind\": \"(diagnostic|pluginSideSettings)\"")
            string(REGEX REPLACE " in [0-9.]+ [a-z]+" " in T" line "${line}")
            string(REGEX REPLACE "attempts? [0-9]+|[0-9]+ attempts?" "attempts N" line "${line}")
            list(APPEND unordered "${line}")
        endif()
    endforeach()
    list(SORT unordered)
    list(REMOVE_DUPLICATES unordered)
    string(REPLACE ";" "\n" unordered "${unordered}")
    set(${out}_unordered "${unordered}" PARENT_SCOPE)
    set(${out}_events "${events}" PARENT_SCOPE)
    set(${out}_objects "${objects}" PARENT_SCOPE)
    set(${out}_ordered "${events}${objects}" PARENT_SCOPE)
endfunction()

# How many lines `actual` has after `expected`, when it starts with it; -1 when it does not.
function(lines_after expected actual out)
    string(LENGTH "${expected}" length)
    string(SUBSTRING "${actual}" 0 ${length} prefix)
    string(SUBSTRING "${actual}" ${length} -1 rest)
    string(REGEX MATCHALL "\n" rest_lines "${rest}")
    list(LENGTH rest_lines count)
    if(NOT prefix STREQUAL expected)
        set(count -1)
    endif()
    set(${out} ${count} PARENT_SCOPE)
endfunction()

# How many lines of `actual` (a text of lines) must be left out, or taken in, to make it
# `expected`, aligning the two greedily: where they differ, the shortest skip of at most four
# lines in either that makes them meet again.
function(alignment_gaps expected actual out)
    string(REGEX REPLACE "\n$" "" expected "${expected}")
    string(REGEX REPLACE "\n$" "" actual "${actual}")
    string(REPLACE "\n" ";" e "${expected}")
    string(REPLACE "\n" ";" a "${actual}")
    list(LENGTH e e_count)
    list(LENGTH a a_count)
    set(i 0)
    set(j 0)
    set(gaps 0)
    while(i LESS e_count AND j LESS a_count)
        list(GET e ${i} e_line)
        list(GET a ${j} a_line)
        if(e_line STREQUAL a_line)
            math(EXPR i "${i} + 1")
            math(EXPR j "${j} + 1")
            continue()
        endif()
        set(skip 1)  # no skip meets them: one line differs in each
        set(skip_e 1)
        set(skip_a 1)
        foreach(k RANGE 1 4)
            math(EXPR ik "${i} + ${k}")
            math(EXPR jk "${j} + ${k}")
            if(ik LESS e_count)
                list(GET e ${ik} line)
                if(line STREQUAL a_line)
                    set(skip ${k})
                    set(skip_e ${k})
                    set(skip_a 0)
                    break()
                endif()
            endif()
            if(jk LESS a_count)
                list(GET a ${jk} line)
                if(line STREQUAL e_line)
                    set(skip ${k})
                    set(skip_e 0)
                    set(skip_a ${k})
                    break()
                endif()
            endif()
        endforeach()
        math(EXPR gaps "${gaps} + ${skip}")
        math(EXPR i "${i} + ${skip_e}")
        math(EXPR j "${j} + ${skip_a}")
    endwhile()
    math(EXPR gaps "${gaps} + ${e_count} - ${i} + ${a_count} - ${j}")
    set(${out} ${gaps} PARENT_SCOPE)
endfunction()

function(run_host output_var result_var)
    if(NOT host)
        set(host ${HOST})
    endif()
    execute_process(COMMAND ${LAUNCHER} ${host} ${ARGN}
        OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
    set(${output_var} "${output}" PARENT_SCOPE)
    set(${result_var} "${result}" PARENT_SCOPE)
    set(errors "${errors}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "round_trip")
    set(capture "${CMAKE_CURRENT_BINARY_DIR}/capture_round_trip.jsonl")
    file(REMOVE "${capture}")
    set(ENV{KORVANE_SDK_CAPTURE} "${capture}")
    if(RECORDER)
        set(ENV{LD_PRELOAD} "${RECORDER}")
    else()
        set(folder "${CMAKE_CURRENT_BINARY_DIR}/capture_round_trip_package")
        set(cameras_folder "${folder}/tools/simulated_cameras")
        file(REMOVE_RECURSE "${folder}")
        file(MAKE_DIRECTORY "${cameras_folder}")
        file(COPY_FILE "${PACKAGE_HOST}" "${folder}/tools/korvane_host.exe")
        file(COPY_FILE "${PLUGIN}" "${folder}/korvane_event_analytics_plugin.dll")
        file(COPY_FILE "${RECORDER_DLL}" "${cameras_folder}/OstrelSDK.dll")
        file(COPY_FILE "${STAND_IN}" "${cameras_folder}/OstrelSDK.maker.dll")
        set(host "${folder}/tools/korvane_host.exe")
    endif()
    # 10.0.0.3 is not in the simulation: its login fails, and must fail again in the replay.
    # 10.0.0.2 restarts: at 4 times the speed it is away from 1.25 s to 4.25 s; with the
    # plugin's frame gap shortened to 1.5 s, its session is lost and opened again.
    set(cameras --camera http://10.0.0.1:8000/ --login admin --password secret
        --camera http://10.0.0.2:8000/ --login admin --password secret --channel 1
        --camera http://10.0.0.3:8000/ --login admin --password secret)
    set(timings --test-option sessionFrameGapMs=1500 --test-option sessionRecheckMs=500
        --test-option sessionPollMs=100)
    run_host(watched result --simulate ${SIMULATION} --speed 4 --json --rules --seconds 8
        --log capture_round_trip.log ${timings} ${cameras})
    unset(ENV{LD_PRELOAD})
    unset(host)
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "watch: exit ${result}, expected 1 (10.0.0.3 fails):\n${watched}")
    endif()
    file(READ "${capture}" captured)
    if(captured MATCHES "secret")
        message(FATAL_ERROR "the password is in the capture")
    endif()
    run_host(summary result --capture-summary ${capture} --json)
    if(NOT summary MATCHES "\"address\": \"10.0.0.2\", [^\n]*\"sessionsLost\": 1, \"sessionsOpened\": 2, \"sessionsReopened\": 1")
        message(FATAL_ERROR "the summary does not count the lost and reopened session:\n${summary}")
    endif()
    # The replay ends when the capture has played, long before its --seconds.
    run_host(replayed result --replay ${capture} --json --rules --seconds 60
        --log capture_replay.log ${timings} ${cameras})
    if(NOT result EQUAL 1 OR NOT replayed MATCHES "\"kind\": \"played\"")
        message(FATAL_ERROR "replay: exit ${result}, expected 1 once played:\n${errors}${replayed}")
    endif()
    foreach(camera 10.0.0.1 10.0.0.2 10.0.0.3)
        comparable_lines("${watched}" ${camera} expected)
        comparable_lines("${replayed}" ${camera} actual)
        set(expected "${expected_unordered}\n${expected_ordered}")
        set(actual "${actual_unordered}\n${actual_ordered}")
        string(LENGTH "${expected_unordered}${expected_ordered}" length)
        if(length EQUAL 0)
            message(FATAL_ERROR "nothing of ${camera} in the watch:\n${watched}")
        endif()
        if(camera STREQUAL "10.0.0.2")
            # Deliveries near the outage's edges may differ (one the watch took just before
            # the camera went away, one the replay raised before the new session subscribed);
            # a replay that does not open the session again lacks every later one.
            alignment_gaps("${expected_ordered}" "${actual_ordered}" gaps)
            if(NOT expected_unordered STREQUAL actual_unordered OR gaps GREATER 10)
                message(FATAL_ERROR "the replay of ${camera} differs from the watch (${gaps} "
                    "lines):\nwatch:\n${expected}\nreplay:\n${actual}")
            endif()
            continue()
        endif()
        # A delivery that reached the plugin as the watch ended is in the capture but was
        # not printed: the replay may show it after all the others, and nothing else.
        lines_after("${expected_events}" "${actual_events}" events_after)
        lines_after("${expected_objects}" "${actual_objects}" objects_after)
        math(EXPR after "${events_after} + ${objects_after}")
        if(NOT expected_unordered STREQUAL actual_unordered OR events_after LESS 0
           OR objects_after LESS 0 OR after GREATER 3)
            message(FATAL_ERROR "the replay of ${camera} differs from the watch:\n"
                "watch:\n${expected}\nreplay:\n${actual}")
        endif()
    endforeach()
    if(NOT watched MATCHES "\"Number\": \"KV 2041\"[^\n]*\"kind\": \"object\""
       OR NOT watched MATCHES "did not open: the login failed \\(OSTREL_GetLastError\\(\\) = 3\\)")
        message(FATAL_ERROR "the watch lacks a plate or the failed login:\n${watched}")
    endif()
    set(reopened "10.0.0.2:8000 was lost: .*10.0.0.2:8000 opened again after .*\"camera\": \"10.0.0.2\", [^\n]*\"kind\": \"event\"")
    if(NOT watched MATCHES "${reopened}" OR NOT replayed MATCHES "${reopened}")
        message(FATAL_ERROR "the session of 10.0.0.2 was not lost and opened again, with events "
            "after:\nwatch:\n${watched}\nreplay:\n${replayed}")
    endif()
elseif(MODE STREQUAL "bad_input")
    set(header "{\"format\": \"korvane-sdk-capture\", \"version\": 1, \"t\": 0}")
    set(login "{\"t\": 10, \"op\": \"OSTREL_Login\", \"address\": \"10.0.0.9\", \"port\": 8000, \"loginName\": \"admin\", \"session\": 1, \"result\": 1}")
    set(alarm "{\"t\": 15, \"callback\": \"alarm\", \"session\": 1, \"alarm\": {\"alarmType\": 4242}}")
    file(WRITE capture_cut.jsonl "${header}\n${login}\n${alarm}\n{\"t\": 20, \"callback\": \"al")
    file(WRITE capture_empty.jsonl "")
    file(WRITE capture_newer.jsonl "{\"format\": \"korvane-sdk-capture\", \"version\": 2, \"t\": 0}\n")
    file(WRITE capture_garbled.jsonl "${header}\nnot JSON\n${login}\n")
    file(WRITE capture_other.jsonl "{\"cameras\": []}\n")
    file(WRITE korvane_host.log "the lines of the last watch\n")
    # A session lost (subscribed, two failed checks, logged out), a failed login, a new one.
    set(lost "${header}\n${login}")
    foreach(call
            "\"t\": 20, \"op\": \"OSTREL_Subscribe\", \"session\": 1, \"out\": {\"subscription\": 1}, \"result\": 1"
            "\"t\": 1000000, \"callback\": \"alarm\", \"session\": 1, \"alarm\": {\"alarmType\": 1, \"alarmTime\": 5}"
            "\"t\": 13000000, \"op\": \"OSTREL_QueryChannelList\", \"session\": 1, \"result\": 0, \"lastError\": 5"
            "\"t\": 15000000, \"op\": \"OSTREL_QueryChannelList\", \"session\": 1, \"result\": 0, \"lastError\": 5"
            "\"t\": 15000010, \"op\": \"OSTREL_Logout\", \"session\": 1, \"result\": 1"
            "\"t\": 15000020, \"op\": \"OSTREL_Login\", \"address\": \"10.0.0.9\", \"port\": 8000, \"loginName\": \"admin\", \"session\": 0, \"result\": 0, \"lastError\": 10"
            "\"t\": 20000000, \"op\": \"OSTREL_Login\", \"address\": \"10.0.0.9\", \"port\": 8000, \"loginName\": \"admin\", \"session\": 2, \"result\": 2")
        string(APPEND lost "\n{${call}}")
    endforeach()
    file(WRITE capture_lost.jsonl "${lost}\n")
    # file | exit | what stderr says | what the summary shows | what the simulation holds
    set(cases
        "capture_cut.jsonl|0|capture_cut.jsonl:4: the last line is cut short|10.0.0.9:8000, login admin.*4242: 1 \\(not known to the plugin\\)|\"alarm\": 4242"
        "capture_lost.jsonl|0|^$|sessions opened: 2, lost: 1, opened again: 1|\"atMs\": 1001, \"awayMs\": 11998, \"camera\": \"10.0.0.9\", \"reboot\": true[^\n]*\n[^\n]*\"lengthMs\": 20000"
        "capture_empty.jsonl|2|capture_empty.jsonl:1: the file is empty|^$|^$"
        "capture_newer.jsonl|2|capture_newer.jsonl:1: format version 2, and this host reads version 1|^$|^$"
        "capture_garbled.jsonl|2|capture_garbled.jsonl:2: not JSON|^$|^$"
        "capture_other.jsonl|2|capture_other.jsonl:1: not a capture|^$|^$")
    foreach(case IN LISTS cases)
        string(REPLACE "|" ";" case "${case}")
        list(GET case 0 file)
        list(GET case 1 expected_exit)
        list(GET case 2 expected_error)
        list(GET case 3 expected_output)
        list(GET case 4 expected_simulation)
        run_host(output result --capture-summary ${file})
        if(NOT result EQUAL expected_exit OR NOT errors MATCHES "${expected_error}"
           OR NOT output MATCHES "${expected_output}")
            message(FATAL_ERROR "--capture-summary ${file}: exit ${result}:\n${errors}${output}")
        endif()
        run_host(output result --capture-to-simulation ${file})
        if(NOT result EQUAL expected_exit OR NOT errors MATCHES "${expected_error}"
           OR NOT output MATCHES "${expected_simulation}")
            message(FATAL_ERROR "--capture-to-simulation ${file}: exit ${result}:\n${errors}${output}")
        endif()
        if(expected_exit EQUAL 2)
            run_host(output result --replay ${file} --seconds 1 --log capture_bad.log)
            if(NOT result EQUAL 2 OR NOT errors MATCHES "${expected_error}" OR NOT output STREQUAL "")
                message(FATAL_ERROR "--replay ${file}: exit ${result}:\n${errors}${output}")
            endif()
        endif()
    endforeach()
    run_host(output result --help)
    run_host(output result --version)
    file(READ korvane_host.log log)
    if(NOT log STREQUAL "the lines of the last watch\n")
        message(FATAL_ERROR "the log of the last watch was touched:\n${log}")
    endif()
else()
    message(FATAL_ERROR "unknown MODE ${MODE}")
endif()
