// Result records: how host operations that can fail report their outcome.
//
// A record holds an error code, an optional message (an IString carrying one reference
// that the record's receiver owns) and, for operations with a value, the value (null when
// there is an error). Code 0 with a null message is a success. Plain data; not locked.

#pragma once

#include <stdint.h>

namespace nx::sdk
{

class IString;

enum class ErrorCode : int32_t
{
    noError = 0,
    unauthorized = -1,
    notImplemented = -21,
    networkError = -22,
    otherError = -100,
    internalError = -1000,
    invalidParams = -1001,
};

struct Error
{
    ErrorCode errorCode = ErrorCode::noError;
    const IString* errorMessage = nullptr;

    // True for a success: code 0 and no message.
    bool isOk() const { return errorCode == ErrorCode::noError && errorMessage == nullptr; }
};

template <typename Value>
struct Result
{
    Error error;
    Value value{};

    // A success with a default (null) value.
    Result() = default;

    // A success carrying `value`.
    Result(Value resultValue) : value(resultValue) {}

    // A failure; the value stays null.
    Result(Error resultError) : error(resultError) {}

    // True for a success: code 0 and no message.
    bool isOk() const { return error.isOk(); }
};

template <>
struct Result<void>
{
    Error error;

    // A success.
    Result() = default;

    // A failure.
    Result(Error resultError) : error(resultError) {}

    // True for a success: code 0 and no message.
    bool isOk() const { return error.isOk(); }
};

}  // namespace nx::sdk
