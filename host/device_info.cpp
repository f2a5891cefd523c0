#include "device_info.h"

namespace korvane::host
{

DeviceInfo::DeviceInfo(DeviceDescription description) : m_description(std::move(description)) {}

const char* DeviceInfo::url() const
{
    countRead(Field::url);
    return m_description.url.c_str();
}

const char* DeviceInfo::login() const
{
    countRead(Field::login);
    return m_description.login.c_str();
}

const char* DeviceInfo::password() const
{
    countRead(Field::password);
    return m_description.password.c_str();
}

int32_t DeviceInfo::channelNumber() const
{
    countRead(Field::channelNumber);
    return m_description.channelNumber;
}

int DeviceInfo::readCount(Field field) const
{
    return m_reads[static_cast<size_t>(field)].load();
}

void DeviceInfo::countRead(Field field) const
{
    ++m_reads[static_cast<size_t>(field)];
}

EngineInfo::EngineInfo(std::string id, std::string name)
    : m_id(std::move(id)), m_name(std::move(name))
{
}

}  // namespace korvane::host
