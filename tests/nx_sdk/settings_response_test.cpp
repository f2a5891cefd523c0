#include <nx/sdk/helpers/settings_response.h>

#include <gtest/gtest.h>

#include <nx/sdk/ptr.h>

namespace nx::sdk
{
namespace
{

TEST(SettingsResponseTest, NewResponseHasNoMembers)
{
    const auto response = makePtr<SettingsResponse>();
    EXPECT_EQ(response->values(), nullptr);
    EXPECT_EQ(response->errors(), nullptr);
    EXPECT_EQ(response->model(), nullptr);
}

TEST(SettingsResponseTest, SetValueFillsOneValuesMap)
{
    const auto response = makePtr<SettingsResponse>();
    response->setValue("b", "2");
    response->setValue("a", "1");
    response->setValue("b", "3");

    const auto values = toPtr(response->values());
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->count(), 2);
    EXPECT_STREQ(values->value("a"), "1");
    EXPECT_STREQ(values->value("b"), "3");
    EXPECT_STREQ(values->key(0), "a");

    // The same map every time; the other two members stay null.
    EXPECT_EQ(toPtr(response->values()), values);
    EXPECT_EQ(response->errors(), nullptr);
    EXPECT_EQ(response->model(), nullptr);
}

TEST(SettingsResponseTest, ValuesGetterAddsAReferenceThatOutlivesTheResponse)
{
    auto response = makePtr<SettingsResponse>();
    response->setValue("k", "v");

    const auto values = toPtr(response->values());
    EXPECT_EQ(values.refCount(), 2);  //< The response's reference and ours.

    response.reset();
    EXPECT_EQ(values.refCount(), 1);
    EXPECT_STREQ(values->value("k"), "v");
}

}  // namespace
}  // namespace nx::sdk
