# Captures of the recording Camera SDK read back by korvane_host. MODE selects the check:
#   round_trip  watches SIMULATION through the recorder (RECORDER, preloaded over the
#               stand-in on Linux; on Windows RECORDER_DLL installed by renaming in a
#               package's layout: the package's tool PACKAGE_HOST, the plugin PLUGIN, and in
#               tools/simulated_cameras the recorder as OstrelSDK.dll with the stand-in
#               STAND_IN renamed OstrelSDK.maker.dll, as at a site), with a camera the
#               simulation lacks; replays the capture; both runs show the same events and
#               objects with the same attributes in the same order per camera, the same rules
#               read back and the same failed login
#   bad_input   a capture cut short is read up to its last whole line, with a note (and its
#               summary marks an alarm code the plugin does not know); an empty
#               file, another format version, a line that is not JSON and a file that is not
#               a capture are refused with the file, the line and what is wrong (exit 2), and
#               --replay starts nothing; none of the runs that load no camera (these,
#               --help, --version) touches the default log
# LAUNCHER (empty, or a cross build's runner) starts the host.

# The lines of `text` about `camera` of the kinds compared, without what differs between two
# runs of the same deliveries: times, timestamps, boxes (they rise frame by frame) and tracks.
# Events and objects keep their order; the rules read back and the plugin's error lines,
# which reach the output from other threads, are sorted.
function(comparable_lines text camera out)
    string(REPLACE ";" "\\;" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(kept "")
    set(unordered "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "\"(atMs|timestampUs|track)\": [0-9]+,? ?" "" line "${line}")
        string(REGEX REPLACE "\"boundingBox\": \\[[^]]*\\], " "" line "${line}")
        if(line MATCHES "\"camera\": \"${camera}\", [^\n]*\"kind\": \"(event|object)\"")
            string(APPEND kept "${line}\n")
        elseif(line MATCHES "\"camera\": \"${camera}\", [^\n]*\"kind\": \"(diagnostic|pluginSideSettings)\"")
            list(APPEND unordered "${line}")
        endif()
    endforeach()
    list(SORT unordered)
    string(REPLACE ";" "\n" unordered "${unordered}")
    set(${out} "${unordered}\n${kept}" PARENT_SCOPE)
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
    set(cameras --camera http://10.0.0.1:8000/ --login admin --password secret
        --camera http://10.0.0.2:8000/ --login admin --password secret --channel 1
        --camera http://10.0.0.3:8000/ --login admin --password secret)
    run_host(watched result --simulate ${SIMULATION} --json --rules --seconds 3
        --log capture_round_trip.log ${cameras})
    unset(ENV{LD_PRELOAD})
    unset(host)
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "watch: exit ${result}, expected 1 (10.0.0.3 fails):\n${watched}")
    endif()
    file(READ "${capture}" captured)
    if(captured MATCHES "secret")
        message(FATAL_ERROR "the password is in the capture")
    endif()
    # A second longer than the capture: every captured delivery plays.
    run_host(replayed result --replay ${capture} --json --rules --seconds 4
        --log capture_replay.log ${cameras})
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "replay: exit ${result}, expected 1:\n${errors}${replayed}")
    endif()
    foreach(camera 10.0.0.1 10.0.0.2 10.0.0.3)
        comparable_lines("${watched}" ${camera} expected)
        comparable_lines("${replayed}" ${camera} actual)
        string(LENGTH "${expected}" length)
        if(length EQUAL 0)
            message(FATAL_ERROR "nothing of ${camera} in the watch:\n${watched}")
        endif()
        # A delivery that reached the plugin as the watch ended is in the capture but was
        # not printed: the replay may show it after all the others, and nothing else.
        string(SUBSTRING "${actual}" 0 ${length} prefix)
        string(SUBSTRING "${actual}" ${length} -1 rest)
        string(REGEX MATCHALL "\n" rest_lines "${rest}")
        list(LENGTH rest_lines rest_count)
        if(NOT prefix STREQUAL expected OR rest_count GREATER 3)
            message(FATAL_ERROR "the replay of ${camera} differs from the watch:\n"
                "watch:\n${expected}\nreplay:\n${actual}")
        endif()
    endforeach()
    if(NOT watched MATCHES "\"Number\": \"KV 2041\"[^\n]*\"kind\": \"object\""
       OR NOT watched MATCHES "did not open: the login failed \\(OSTREL_GetLastError\\(\\) = 3\\)")
        message(FATAL_ERROR "the watch lacks a plate or the failed login:\n${watched}")
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
    # file | exit | what stderr says | what stdout shows
    set(cases
        "capture_cut.jsonl|0|capture_cut.jsonl:4: the last line is cut short|10.0.0.9:8000, login admin.*4242: 1 \\(not known to the plugin\\)"
        "capture_empty.jsonl|2|capture_empty.jsonl:1: the file is empty|^$"
        "capture_newer.jsonl|2|capture_newer.jsonl:1: format version 2, and this host reads version 1|^$"
        "capture_garbled.jsonl|2|capture_garbled.jsonl:2: not JSON|^$"
        "capture_other.jsonl|2|capture_other.jsonl:1: not a capture|^$")
    foreach(case IN LISTS cases)
        string(REPLACE "|" ";" case "${case}")
        list(GET case 0 file)
        list(GET case 1 expected_exit)
        list(GET case 2 expected_error)
        list(GET case 3 expected_output)
        run_host(output result --capture-summary ${file})
        if(NOT result EQUAL expected_exit OR NOT errors MATCHES "${expected_error}"
           OR NOT output MATCHES "${expected_output}")
            message(FATAL_ERROR "--capture-summary ${file}: exit ${result}:\n${errors}${output}")
        endif()
        run_host(output result --capture-to-simulation ${file})
        if(NOT result EQUAL expected_exit OR NOT errors MATCHES "${expected_error}")
            message(FATAL_ERROR "--capture-to-simulation ${file}: exit ${result}:\n${errors}")
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
