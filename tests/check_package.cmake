# The Linux package of this build, made by cpack (CPACK, CONFIG) and unpacked into a scratch
# folder as a site unpacks it: its layout; nothing in it names the build folder (BUILD_DIR);
# the packaged plugin passes check_exports.cmake (NM, READELF: its exports, dependencies and
# run path, $ORIGIN alone); and, through the real loader, the Camera SDK that the package's
# korvane_host makes the plugin load: the library put beside the plugin (MAKER_SDK, one with
# nothing but the entry points) for --version, the stand-in of tools/simulated_cameras for a
# simulation (SIMULATION), and none when the library beside the plugin is missing.
# PACKAGE is the archive's name without its extension; LAUNCHER (empty, or qemu's runner)
# starts the programs.

set(scratch "${CMAKE_CURRENT_BINARY_DIR}/package_check")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}")
execute_process(COMMAND ${CPACK} --config ${CONFIG} -B ${scratch}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT EXISTS "${scratch}/${PACKAGE}.tar.gz")
    message(FATAL_ERROR "cpack: exit ${result}, no ${PACKAGE}.tar.gz:\n${output}${errors}")
endif()
file(REMOVE_RECURSE "${scratch}/_CPack_Packages")
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xzf ${PACKAGE}.tar.gz WORKING_DIRECTORY ${scratch})
set(root "${scratch}/${PACKAGE}")

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${root}" "${root}/*")
list(FILTER files EXCLUDE REGEX "^docs/")
list(SORT files)
set(expected README.md libkorvane_event_analytics_plugin.so sdk_recorder/libOstrelSDK.so
    tools/korvane_host tools/simulated_cameras/libOstrelSDK.so)
if(NOT files STREQUAL expected)
    message(FATAL_ERROR "the package holds [${files}], expected [${expected}]")
endif()
foreach(file IN LISTS files)
    file(STRINGS "${root}/${file}" build_paths REGEX "${BUILD_DIR}")
    if(build_paths)
        message(FATAL_ERROR "${file} names the build folder: ${build_paths}")
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -DLIBRARY=${root}/libkorvane_event_analytics_plugin.so
        -DNM=${NM} -DREADELF=${READELF} -P ${CMAKE_CURRENT_LIST_DIR}/check_exports.cmake
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the packaged plugin:\n${output}${errors}")
endif()

# the Camera SDK beside the plugin (maker or none) | the stand-in (kept or removed) |
# arguments | exit | what the output matches
set(tool "${root}/tools/korvane_host")
set(cases
    "maker|kept|--version --json|0|\"kind\": \"cameraSdk\", \"library\": \"${root}/libOstrelSDK.so\"}\n[^\n]*\"sdkVersion\": \"5.1.2 R2\""
    "maker|kept|--simulate ${SIMULATION} --seconds 1 --json --log package_watch.log|0|\"library\": \"${root}/tools/simulated_cameras/libOstrelSDK.so\"}.*\"kind\": \"event\""
    "none|kept|--version|1|libOstrelSDK.so: cannot open shared object file"
    "maker|removed|--simulate ${SIMULATION} --seconds 1 --log package_watch.log|2|simulated_cameras/libOstrelSDK.so: cannot open shared object file.*need the Camera SDK stand-in")
unset(ENV{LD_LIBRARY_PATH})
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" case "${case}")
    list(GET case 0 sdk)
    list(GET case 1 stand_in)
    list(GET case 2 arguments)
    list(GET case 3 expected_exit)
    list(GET case 4 expected_output)
    separate_arguments(arguments)
    file(REMOVE "${root}/libOstrelSDK.so")
    if(sdk STREQUAL "maker")
        file(COPY_FILE "${MAKER_SDK}" "${root}/libOstrelSDK.so")
    endif()
    if(stand_in STREQUAL "removed")
        file(RENAME "${root}/tools/simulated_cameras" "${root}/tools/simulated_cameras.away")
    endif()
    execute_process(COMMAND ${LAUNCHER} ${tool} ${arguments} WORKING_DIRECTORY ${scratch}
        OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
    if(stand_in STREQUAL "removed")
        file(RENAME "${root}/tools/simulated_cameras.away" "${root}/tools/simulated_cameras")
    endif()
    if(NOT result EQUAL expected_exit OR NOT "${output}${errors}" MATCHES "${expected_output}")
        message(FATAL_ERROR "${sdk} beside the plugin, stand-in ${stand_in}: korvane_host "
            "${arguments}: exit ${result}, expected ${expected_exit}:\n${output}${errors}")
    endif()
endforeach()
