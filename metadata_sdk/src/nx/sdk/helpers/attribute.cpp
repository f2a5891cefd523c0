#include "attribute.h"

#include <utility>

namespace nx::sdk
{

Attribute::Attribute(std::string name, std::string value, float confidence)
    : m_name(std::move(name)), m_value(std::move(value)), m_confidence(confidence)
{
}

IAttribute::Type Attribute::type() const
{
    return m_type;
}

const char* Attribute::name() const
{
    return m_name.c_str();
}

const char* Attribute::value() const
{
    return m_value.c_str();
}

float Attribute::confidence() const
{
    return m_confidence;
}

const IAttribute* attributeAt(const std::vector<Ptr<Attribute>>& attributes, int i)
{
    if (i < 0 || static_cast<size_t>(i) >= attributes.size())
        return nullptr;
    const Ptr<Attribute>& attribute = attributes[static_cast<size_t>(i)];
    if (attribute)
        attribute->addRef();
    return attribute.get();
}

}  // namespace nx::sdk
