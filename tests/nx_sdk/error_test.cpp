#include <nx/sdk/helpers/error.h>

#include <cstddef>
#include <type_traits>

#include <gtest/gtest.h>

#include <nx/sdk/i_string.h>
#include <nx/sdk/ptr.h>
#include <nx/sdk/result.h>

#include "assertion_test_support.h"

namespace nx::sdk
{
namespace
{

// The host reads result records as code, message, value.
static_assert(std::is_standard_layout_v<Result<IString*>>);
static_assert(offsetof(Error, errorCode) == 0);
static_assert(offsetof(Error, errorMessage) == sizeof(void*));
static_assert(offsetof(Result<IString*>, value) == sizeof(Error));
static_assert(sizeof(Result<void>) == sizeof(Error));

TEST(ErrorTest, ErrorCarriesTheCodeAndANewMessage)
{
    Error record;
    const std::string output =
        test::captureStderr([&]() { record = error(ErrorCode::invalidParams, "x"); });
    EXPECT_EQ(output, "");
    EXPECT_EQ(record.errorCode, ErrorCode::invalidParams);
    EXPECT_FALSE(record.isOk());

    const auto message = toPtr(record.errorMessage);  //< The receiver owns the reference.
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message.refCount(), 1);
    EXPECT_STREQ(message->str(), "x");
}

TEST(ErrorTest, ZeroCodeAndEmptyMessageAreReportedButTheRecordIsBuilt)
{
    Error record;
    const std::string output =
        test::captureStderr([&]() { record = error(ErrorCode::noError, ""); });
    const std::string path = "nx/sdk/helpers/error.cpp";
    EXPECT_EQ(test::withoutLineNumbers(output),
              test::assertionLine("nx::sdk::error(): ", path, "errorCode != ErrorCode::noError",
                                  "Error code must differ from `ErrorCode::noError`") +
                  test::assertionLine("nx::sdk::error(): ", path, "!errorMessage.empty()",
                                      "Error message must not be empty"));

    const auto message = toPtr(record.errorMessage);
    EXPECT_EQ(record.errorCode, ErrorCode::noError);
    ASSERT_NE(message, nullptr);
    EXPECT_STREQ(message->str(), "");
    EXPECT_FALSE(record.isOk());  //< A message makes it an error all the same.
}

TEST(ErrorTest, ErrorCodeNamesFollowTheTable)
{
    EXPECT_EQ(toString(ErrorCode::noError), "noError");
    EXPECT_EQ(toString(ErrorCode::unauthorized), "unauthorized");
    EXPECT_EQ(toString(ErrorCode::notImplemented), "notImplemented");
    EXPECT_EQ(toString(ErrorCode::networkError), "networkError");
    EXPECT_EQ(toString(ErrorCode::otherError), "otherError");
    EXPECT_EQ(toString(ErrorCode::internalError), "internalError");
    EXPECT_EQ(toString(ErrorCode::invalidParams), "invalidParams");
    EXPECT_EQ(static_cast<int32_t>(ErrorCode::invalidParams), -1001);
    EXPECT_EQ(toString(static_cast<ErrorCode>(5)), "<unsupported Error>");
    EXPECT_EQ(toString(static_cast<ErrorCode>(-2)), "<unsupported Error>");
}

TEST(ErrorTest, ResultIsASuccessOnlyWithCodeZeroAndNoMessage)
{
    EXPECT_TRUE(Result<void>().isOk());
    EXPECT_TRUE(Result<IString*>().isOk());
    EXPECT_EQ(Result<IString*>().value, nullptr);

    const Result<const IString*> failure = error(ErrorCode::otherError, "failed");
    EXPECT_FALSE(failure.isOk());
    EXPECT_EQ(failure.value, nullptr);
    toPtr(failure.error.errorMessage);  //< Releases the message.

    const Result<void> voidFailure = Error{ErrorCode::internalError, nullptr};
    EXPECT_FALSE(voidFailure.isOk());
}

}  // namespace
}  // namespace nx::sdk
