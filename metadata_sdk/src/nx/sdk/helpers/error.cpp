#include "error.h"

#include <utility>

#include <nx/kit/debug.h>
#include <nx/sdk/helpers/string.h>

namespace nx::sdk
{

namespace
{

struct ErrorCodeName
{
    ErrorCode code;
    const char* name;
};

constexpr ErrorCodeName kErrorCodeNames[] = {
    {ErrorCode::noError, "noError"},
    {ErrorCode::unauthorized, "unauthorized"},
    {ErrorCode::notImplemented, "notImplemented"},
    {ErrorCode::networkError, "networkError"},
    {ErrorCode::otherError, "otherError"},
    {ErrorCode::internalError, "internalError"},
    {ErrorCode::invalidParams, "invalidParams"},
};

constexpr const char* kUnsupportedErrorName = "<unsupported Error>";

void printLine(const char* text)
{
    NX_KIT_PRINT("nx::sdk::error(): ") << text;
}

}  // namespace

Error error(ErrorCode errorCode, std::string errorMessage)
{
    NX_KIT_ASSERT(printLine, errorCode != ErrorCode::noError,
                  "Error code must differ from `ErrorCode::noError`");
    NX_KIT_ASSERT(printLine, !errorMessage.empty(), "Error message must not be empty");
    return Error{errorCode, new String(std::move(errorMessage))};
}

std::string toString(ErrorCode errorCode)
{
    for (const ErrorCodeName& entry : kErrorCodeNames)
    {
        if (entry.code == errorCode)
            return entry.name;
    }
    return kUnsupportedErrorName;
}

}  // namespace nx::sdk
