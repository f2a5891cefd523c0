#include "bench/bench_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>

#include <nx/sdk/analytics/i_event_metadata_packet.h>
#include <nx/sdk/analytics/i_object_metadata_packet.h>
#include <nx/sdk/i_settings_response.h>

#include "host/data_packets.h"
#include "host/device_info.h"
#include "host/string_maps.h"
#include "plugin/rules/rule_kind.h"

namespace korvane::bench
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;

namespace
{

// The name the benchmarks give the library context.
constexpr const char* kBenchLibraryName = "korvane_bench";

std::string cameraAddress(int index)
{
    return "10.1." + std::to_string(index / 250) + "." + std::to_string(index % 250 + 1);
}

void releaseError(const Error& error)
{
    if (error.errorMessage)
        error.errorMessage->releaseRef();
}

namespace control = ostrel::control;

std::vector<ObjectFilter> allFilters()
{
    std::vector<ObjectFilter> filters(3);
    for (int i = 0; i < 3; ++i)
    {
        std::memset(&filters[i], 0, sizeof(ObjectFilter));
        filters[i].enabled = 1;
        filters[i].objectType = i;
    }
    return filters;
}

control::LineRules storedLineRules()
{
    control::LineRules rules;
    rules.ruleCount = kOstrelRuleSlots;
    for (int i = 0; i < kOstrelRuleSlots; ++i)
    {
        control::RuleEntry<LineRule> entry;
        entry.rule.ruleIndex = i;
        entry.rule.enabled = 1;
        entry.rule.sensitivity = 50;
        entry.rule.direction = 1;
        entry.rule.startPoint.x = 1000;
        entry.rule.startPoint.y = 2000;
        entry.rule.endPoint.x = 8000;
        entry.rule.endPoint.y = 9000;
        entry.filters = allFilters();
        rules.rules.push_back(entry);
    }
    return rules;
}

control::AreaRules storedAreaRules()
{
    static const uint32_t kCorners[4][2] = {{1000, 1000}, {9000, 1000}, {9000, 9000}, {1000, 9000}};
    control::AreaRules rules;
    rules.ruleCount = kOstrelRuleSlots;
    for (int i = 0; i < kOstrelRuleSlots; ++i)
    {
        control::RuleEntry<AreaRule> entry;
        entry.rule.ruleIndex = i;
        entry.rule.enabled = 1;
        entry.rule.sensitivity = 50;
        entry.rule.timeThreshold = 5;
        entry.rule.pointCount = 4;
        for (int p = 0; p < 4; ++p)
        {
            entry.rule.points[p].x = kCorners[p][0];
            entry.rule.points[p].y = kCorners[p][1];
        }
        entry.rule.priority = 1;
        entry.filters = allFilters();
        rules.rules.push_back(entry);
    }
    return rules;
}

}  // namespace

control::ChannelConfig ruleChannel()
{
    control::ChannelConfig channel;
    channel.intrusionCapability = 1;
    channel.lineCrossCapability = 1;
    channel.enterAreaCapability = 1;
    channel.leaveAreaCapability = 1;
    channel.lineCrossRules = storedLineRules();
    channel.intrusionRules = storedAreaRules();
    channel.enterAreaRules = storedAreaRules();
    channel.leaveAreaRules = storedAreaRules();
    channel.enabledTypes = {100, 101, 102, 103};
    channel.combinations = {{100, 101, 102, 103}};
    return channel;
}

std::map<std::string, std::string> ruleSettings()
{
    using namespace nx::vms_server_plugins::analytics::sample;
    std::map<std::string, std::string> settings = objectSettings();
    for (const RuleKind kind : kRuleTypeOrder)
    {
        const RuleKindInfo& info = ruleKindInfo(kind);
        const bool isLine = info.section.figureType == RuleFigureType::kLine;
        settings[info.switchKey] = "true";
        RuleSettingKeys keys(kind);
        for (int n = 1; n <= kOstrelRuleSlots; ++n)
        {
            keys.selectRule(n);
            settings[keys.key(kEnableSuffix)] = "true";
            settings[keys.key(kSensitivitySuffix)] = "60";
            settings[keys.key(kPrioritySuffix)] = "mid";
            settings[keys.key(kVehicleSuffix)] = "true";
            settings[keys.key(kNonMotorVehicleSuffix)] = "false";
            settings[keys.key(kPersonSuffix)] = "true";
            const std::string label = "\"label\":\"Rule " + std::to_string(n) + "\"";
            std::string& figure = settings[keys.key(info.figureSuffix)];
            if (isLine)
            {
                figure =
                    "{\"figure\":{\"color\":\"#ff0000\",\"direction\":\"left\","
                    "\"points\":[[0.1,0.2],[0.8,0.9]]}," +
                    label + ",\"showOnCamera\":true}";
            }
            else
            {
                figure =
                    "{\"figure\":{\"color\":\"#00ff00\",\"points\":"
                    "[[0.1,0.1],[0.9,0.1],[0.9,0.9],[0.1,0.9]]}," +
                    label + ",\"showOnCamera\":true}";
            }
            if (info.hasTimeThreshold)
                settings[keys.key(kTimeThresholdSuffix)] = "5";
        }
    }
    return settings;
}

// ---- CountingHandler ----

void CountingHandler::handleMetadata(IMetadataPacket* metadataPacket)
{
    if (!metadataPacket)
        return;
    if (const auto objects = queryInterfacePtr<IObjectMetadataPacket>(metadataPacket))
    {
        m_objectPackets.fetch_add(1, std::memory_order_relaxed);
        m_objects.fetch_add(objects->count(), std::memory_order_relaxed);
    }
    else if (const auto events = queryInterfacePtr<IEventMetadataPacket>(metadataPacket))
    {
        m_eventPackets.fetch_add(1, std::memory_order_relaxed);
        m_events.fetch_add(events->count(), std::memory_order_relaxed);
    }
}

void CountingHandler::handlePluginDiagnosticEvent(const char* /*level*/, const char* /*caption*/,
                                                  const char* /*description*/)
{
}

void CountingHandler::pushManifest(const IString* /*manifest*/)
{
    m_manifests.fetch_add(1, std::memory_order_relaxed);
}

// ---- BenchHost ----

BenchHost::BenchHost()
{
    ostrel::control::reset();
    const host::PluginLibrary* const library = benchPluginLibrary();
    if (!library)
        return;
    m_plugin = library->createPlugin();
    if (!m_plugin)
        return;
    Result<IEngine*> engine;
    m_plugin->doCreateEngine(&engine);
    releaseError(engine.error);
    m_engine = toPtr(engine.value);
}

BenchHost::~BenchHost()
{
    releaseAgents();
    m_engine.reset();
    m_plugin.reset();
    ostrel::control::reset();
}

ostrel::control::CameraId BenchHost::addCamera(int index,
                                               const ostrel::control::ChannelConfig& channel)
{
    ostrel::control::CameraConfig config;
    config.address = cameraAddress(index);
    config.port = 8000;
    config.loginName = kLogin;
    config.password = kPassword;
    config.channelCount = 1;
    config.channels[0] = channel;
    return ostrel::control::addCamera(config);
}

BenchAgent BenchHost::obtainAgent(int index)
{
    host::DeviceDescription description;
    description.id = "bench" + std::to_string(index);
    description.url = "http://" + cameraAddress(index) + ":8000/onvif/device_service";
    description.login = kLogin;
    description.password = kPassword;
    const auto deviceInfo = makePtr<host::DeviceInfo>(description);

    Result<IDeviceAgent*> result;
    m_engine->doObtainDeviceAgent(&result, deviceInfo.get());
    releaseError(result.error);
    const Ptr<IDeviceAgent> deviceAgent = toPtr(result.value);

    BenchAgent agent;
    agent.agent = queryInterfacePtr<IConsumingDeviceAgent>(deviceAgent);
    if (!agent.agent)
        return agent;
    agent.handler = makePtr<CountingHandler>();
    agent.agent->setHandler(agent.handler.get());
    m_agents.push_back(agent);
    return agent;
}

void BenchHost::releaseAgents()
{
    for (BenchAgent& agent : m_agents)
        agent.agent->finalize();
    m_agents.clear();
}

// ---- Helpers ----

const host::PluginLibrary* benchPluginLibrary()
{
    std::string errorMessage;
    const host::PluginLibrary* const library =
        host::PluginLibrary::open(KORVANE_PLUGIN_PATH, kBenchLibraryName, &errorMessage);
    if (!library)
        std::cout << "Cannot open the plugin library: " << errorMessage << std::endl;
    return library;
}

void setSettings(IConsumingDeviceAgent* agent, const IStringMap* settings)
{
    Result<const ISettingsResponse*> result;
    agent->doSetSettings(&result, settings);
    if (result.value)
        result.value->releaseRef();
    releaseError(result.error);
}

int readPluginSideSettings(const IConsumingDeviceAgent* agent)
{
    Result<const ISettingsResponse*> result;
    agent->getPluginSideSettings(&result);
    releaseError(result.error);
    if (!result.value)
        return 0;
    const Ptr<const ISettingsResponse> response = toPtr(result.value);
    const Ptr<const IStringMap> values = toPtr(response->values());
    return values ? values->count() : 0;
}

std::map<std::string, std::string> objectSettings()
{
    return {{"Face", "true"},         {"Person", "true"},         {"Vehicle", "true"},
            {"LicensePlate", "true"}, {"generateEvents", "true"}, {"sendAttributes", "true"}};
}

bool pushFrame(IConsumingDeviceAgent* agent, int64_t timestampUs)
{
    Result<void> result;
    agent->doPushDataPacket(&result, makePtr<host::CompressedVideoPacket>(timestampUs).get());
    releaseError(result.error);
    return result.isOk();
}

RawBatch::RawBatch(int variant)
{
    std::memset(&m_face, 0, sizeof(m_face));
    std::memset(&m_person, 0, sizeof(m_person));
    std::memset(&m_vehicle, 0, sizeof(m_vehicle));
    std::memset(&m_record, 0, sizeof(m_record));
    m_face.gender = 1 + variant % 2;
    m_face.age = 20 + variant;
    m_face.glassFlag = variant % 2;
    m_face.emotion = variant % 4;
    m_person.gender = 1 + variant % 2;
    m_person.topClothingColor = variant % 5;
    m_person.bagFlag = variant % 2;
    m_vehicle.vehicleType = 1 + variant % 3;
    m_vehicle.vehicleColor = variant % 6;
    m_vehicle.speed = 30.0f + static_cast<float>(variant);
    std::snprintf(m_vehicle.plateNumber, sizeof(m_vehicle.plateNumber), "KV %04d", variant);
    m_vehicle.plateColor = variant % 3;
    m_record.faceCount = 1;
    m_record.faces = &m_face;
    m_record.personCount = 1;
    m_record.persons = &m_person;
    m_record.vehicleCount = 1;
    m_record.vehicles = &m_vehicle;
}

bool silenceDiagnostics()
{
    std::fflush(stderr);
    std::cerr.flush();
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull < 0)
        return false;
    const bool ok = dup2(devNull, STDERR_FILENO) >= 0;
    close(devNull);
    return ok;
}

}  // namespace korvane::bench
