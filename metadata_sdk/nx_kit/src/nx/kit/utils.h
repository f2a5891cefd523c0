// Small text helpers shared by the library.
//
// Pure functions without shared state: safe to call from any thread.

#pragma once

#include <string>

namespace nx::kit::utils
{

// Reads a base-10 int from the start of the text as std::stoi does: skips leading white space,
// accepts one '+' or '-', reads the digits that follow and ignores whatever comes after them.
// Returns false, leaving *outValue unchanged, when there are no digits ("invalid stoi
// argument") or the value is outside the 32-bit signed range ("stoi argument out of range");
// the error text goes to *outErrorText when it is not null, which is cleared on success.
// REQUIRES: outValue is not null.
bool stoi(const std::string& text, int* outValue, std::string* outErrorText);

}  // namespace nx::kit::utils
