# nlohmann-json for a cross build: the header-only library of the build machine (Debian's
# nlohmann-json3-dev), staged in a folder of its own, because its package's include folder
# is /usr/include, whose C headers are the build machine's and not the target's.
find_path(KORVANE_NLOHMANN_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(staged ${CMAKE_BINARY_DIR}/nlohmann_json/include)
file(COPY ${KORVANE_NLOHMANN_JSON_INCLUDE}/nlohmann DESTINATION ${staged})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${staged})
