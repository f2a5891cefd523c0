#include "string.h"

#include <utility>

namespace nx::sdk
{

String::String(std::string text) : m_text(std::move(text)) {}

const char* String::str() const
{
    return m_text.c_str();
}

}  // namespace nx::sdk
