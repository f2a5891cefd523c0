#include "settings_response.h"

namespace nx::sdk
{

namespace
{

// The held object with a reference added for the caller, or null.
template <class T>
T* sharedRaw(const Ptr<T>& ptr)
{
    if (ptr)
        ptr->addRef();
    return ptr.get();
}

}  // namespace

void SettingsResponse::setValue(const std::string& key, const std::string& value)
{
    if (!m_values)
        m_values = makePtr<StringMap>();
    m_values->setItem(key, value);
}

const IStringMap* SettingsResponse::values() const
{
    return sharedRaw(m_values);
}

const IStringMap* SettingsResponse::errors() const
{
    return sharedRaw(m_errors);
}

const IString* SettingsResponse::model() const
{
    return sharedRaw(m_model);
}

}  // namespace nx::sdk
