// DeviceInfo and EngineInfo: what the host knows of a camera and of an engine.
//
// Immutable after construction, so any thread may read them. DeviceInfo counts the reads
// of each of its texts, because the plugin is expected to read each of them once.

#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include <nx/sdk/analytics/i_engine_info.h>
#include <nx/sdk/i_device_info.h>
#include <nx/sdk/ref_countable.h>

namespace korvane::host
{

// The values a DeviceInfo answers.
struct DeviceDescription
{
    std::string id;
    std::string vendor = "Korvane";
    std::string model;
    std::string firmware;
    std::string name;
    std::string url;
    std::string login;
    std::string password;
    std::string sharedId;
    std::string logicalId;
    int32_t channelNumber = 0;
};

class DeviceInfo final : public nx::sdk::RefCountable<nx::sdk::IDeviceInfo>
{
public:
    // The fields that the reads are counted for.
    enum class Field
    {
        url,
        login,
        password,
        channelNumber,
    };

    explicit DeviceInfo(DeviceDescription description);

    const char* id() const override { return m_description.id.c_str(); }
    const char* vendor() const override { return m_description.vendor.c_str(); }
    const char* model() const override { return m_description.model.c_str(); }
    const char* firmware() const override { return m_description.firmware.c_str(); }
    const char* name() const override { return m_description.name.c_str(); }
    const char* url() const override;
    const char* login() const override;
    const char* password() const override;
    const char* sharedId() const override { return m_description.sharedId.c_str(); }
    const char* logicalId() const override { return m_description.logicalId.c_str(); }
    int32_t channelNumber() const override;

    // How many times `field` has been read.
    int readCount(Field field) const;

private:
    ~DeviceInfo() override = default;

    void countRead(Field field) const;

    const DeviceDescription m_description;
    mutable std::array<std::atomic<int>, 4> m_reads{};
};

class EngineInfo final : public nx::sdk::RefCountable<nx::sdk::analytics::IEngineInfo>
{
public:
    EngineInfo(std::string id, std::string name);

    const char* id() const override { return m_id.c_str(); }
    const char* name() const override { return m_name.c_str(); }

private:
    ~EngineInfo() override = default;

    const std::string m_id;
    const std::string m_name;
};

}  // namespace korvane::host
