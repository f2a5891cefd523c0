// String: the library's IString, a ref-countable holder of one text.
//
// Immutable after construction, so it may be read and released from any thread.

#pragma once

#include <string>

#include <nx/sdk/i_string.h>
#include <nx/sdk/ref_countable.h>

namespace nx::sdk
{

class String final : public RefCountable<IString>
{
public:
    // Takes over `text`.
    explicit String(std::string text = std::string());

    const char* str() const override;

private:
    ~String() override = default;

    const std::string m_text;
};

}  // namespace nx::sdk
