// Error results: building the error record of a failed host operation, and the names of
// the error codes used in error lines.
//
// Stateless; thread-safe.

#pragma once

#include <string>

#include <nx/sdk/result.h>

namespace nx::sdk
{

// An error record with `errorCode` and a new String holding `errorMessage` (one reference,
// owned by the record's receiver). A zero code or an empty message is reported as an
// assertion failure; the record is built in every case.
// REQUIRES: errorCode != ErrorCode::noError; !errorMessage.empty().
Error error(ErrorCode errorCode, std::string errorMessage);

// The name of an error code ("noError", "invalidParams", ...), or "<unsupported Error>".
std::string toString(ErrorCode errorCode);

}  // namespace nx::sdk
