# GoogleTest and GoogleMock built from Debian's source package with the cross compiler; the
# source tree defines the same GTest:: names that find_package(GTest) gives natively.
set(KORVANE_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${KORVANE_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
    # Third-party code: its warnings are not ours to fail on.
    target_compile_options(${target} PRIVATE -w)
endforeach()
