// The built plugin library, opened once per test process through the stand-in host.

#pragma once

#include <string>

#include <gtest/gtest.h>

#include "host/plugin_library.h"

namespace korvane::test
{

// The name the tests give the library context; every plugin print prefix starts with it.
inline constexpr const char* kTestLibraryName = "korvane_test";

// The plugin library built with this test, or null (after a test failure) when it cannot
// be opened.
inline const host::PluginLibrary* pluginLibrary()
{
    std::string errorMessage;
    const host::PluginLibrary* const library =
        host::PluginLibrary::open(KORVANE_PLUGIN_PATH, kTestLibraryName, &errorMessage);
    EXPECT_NE(library, nullptr) << errorMessage;
    return library;
}

}  // namespace korvane::test
