#include "plugin_session.h"

#include <nx/sdk/helpers/error.h>
#include <nx/sdk/helpers/uuid_helper.h>
#include <nx/sdk/i_settings_response.h>

#include "host/data_packets.h"
#include "host/engine_handler.h"
#include "host/host_object.h"
#include "host/string_maps.h"

namespace korvane::host::cli
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;
using nx::kit::Json;

namespace
{

// Takes the text of a result's error message, releasing it.
std::string takeMessage(Error* error)
{
    const Ptr<const IString> message(error->errorMessage);
    error->errorMessage = nullptr;
    return message && message->str() ? message->str() : "";
}

// A manifest text handed out by the plugin, parsed; null when there is none.
Json manifestOf(Result<const IString*>* result)
{
    const Ptr<const IString> text(result->value);
    return Json::parse(text && text->str() ? text->str() : "", nullptr);
}

}  // namespace

std::string errorText(Error* error)
{
    return toString(error->errorCode) + ": " + takeMessage(error);
}

PluginSession::PluginSession(const PluginLibrary& library, Report* report)
    : m_library(library), m_report(report)
{
}

PluginSession::~PluginSession()
{
    stop();
}

bool PluginSession::startPlugin()
{
    m_plugin = m_library.createPlugin();
    if (!m_plugin)
    {
        m_report->note(
            runErrorEntry("createNxPlugin refused",
                          "ERROR: the plugin could not be created (the Camera SDK did not start)"));
        return false;
    }
    m_plugin->setHostObject(makePtr<HostObject>().get());
    Result<const IString*> pluginManifest;
    m_plugin->getManifest(&pluginManifest);
    const Json plugin = manifestOf(&pluginManifest);
    const std::string& name = plugin["name"].stringValue();
    const std::string& version = plugin["version"].stringValue();
    const std::string& id = plugin["id"].stringValue();
    m_report->note(pluginEntry(id, name, version, m_library.sdkVersion()));
    return true;
}

bool PluginSession::start()
{
    if (!startPlugin())
        return false;
    Result<IEngine*> engine;
    m_plugin->doCreateEngine(&engine);
    if (!engine.isOk())
    {
        m_report->note(runErrorEntry(errorText(&engine.error),
                                     "ERROR: the plugin refused to create its engine"));
        return false;
    }
    m_engine = toPtr(engine.value);
    m_engine->setEngineInfo(makePtr<EngineInfo>("korvane", "Korvane").get());
    m_engine->setHandler(makePtr<EngineHandler>().get());
    Result<const IString*> engineManifest;
    m_engine->getManifest(&engineManifest);
    m_engineManifest = manifestOf(&engineManifest);
    const Json& model = m_engineManifest["deviceAgentSettingsModel"];
    const std::string& group = m_engineManifest["typeLibrary"]["groups"][0]["name"].stringValue();
    const std::string& filter = m_engineManifest["streamTypeFilter"].stringValue();
    m_report->note(engineEntry(group, filter, model["sections"].arrayItems().size(),
                               model["items"].arrayItems().size()));
    return true;
}

void PluginSession::stop()
{
    m_engine.reset();
    m_plugin.reset();
}

bool PluginSession::bind(int64_t atMs, const DeviceDescription& device, BoundAgent* bound,
                         std::string* errorText)
{
    Result<IDeviceAgent*> result;
    m_engine->doObtainDeviceAgent(&result, makePtr<DeviceInfo>(device).get());
    if (!result.isOk())
    {
        *errorText = "no device agent: " + cli::errorText(&result.error);
        return false;
    }
    const Ptr<IDeviceAgent> agent = toPtr(result.value);
    bound->agent = queryInterfacePtr<IConsumingDeviceAgent>(agent);
    if (!bound->agent)
    {
        *errorText = "the device agent does not consume video";
        return false;
    }
    bound->handler = makePtr<DeviceAgentHandler>();
    bound->agent->setHandler(bound->handler.get());

    Result<const IString*> manifestResult;
    bound->agent->getManifest(&manifestResult);
    const Json manifest = manifestOf(&manifestResult);
    const size_t events = manifest["eventTypes"].arrayItems().size();
    const size_t objects = manifest["objectTypes"].arrayItems().size();
    m_report->add(atMs, bound->camera, connectedEntry(events, objects));
    return true;
}

bool PluginSession::sendSettings(int64_t atMs, const BoundAgent& bound, const Settings& values,
                                 std::string* errorText, const std::string& summary)
{
    Result<const ISettingsResponse*> result;
    bound.agent->doSetSettings(&result, makeStringMap(values).get());
    const Ptr<const ISettingsResponse> response(result.value);
    m_report->add(atMs, bound.camera, settingsEntry(values, summary));
    if (!result.isOk())
    {
        // As the server shows it to the user who saved the page.
        *errorText = "the settings delivery answered " + cli::errorText(&result.error);
        return false;
    }
    return true;
}

bool PluginSession::readSettings(int64_t atMs, const BoundAgent& bound, Settings* values,
                                 std::string* errorText)
{
    Result<const ISettingsResponse*> result;
    bound.agent->getPluginSideSettings(&result);
    const Ptr<const ISettingsResponse> response(result.value);
    if (!result.isOk())
    {
        *errorText = "plugin-side settings refused: " + cli::errorText(&result.error);
        return false;
    }
    const Settings read = response ? toStdMap(toPtr(response->values()).get()) : Settings();
    const Settings errors = response ? toStdMap(toPtr(response->errors()).get()) : Settings();
    m_report->add(atMs, bound.camera, pluginSideSettingsEntry(read, errors));
    if (values)
        *values = read;
    return true;
}

void PluginSession::release(BoundAgent* bound)
{
    if (bound->agent)
        bound->agent->finalize();
    bound->agent.reset();
    bound->handler.reset();
}

void PluginSession::reportDeliveries(int64_t atMs, BoundAgent* bound)
{
    if (!bound->handler)
        return;
    for (const MetadataRecord& record : bound->handler->takeRecords())
        reportRecord(atMs, bound, record);
    const auto manifests = bound->handler->manifests();
    for (; bound->manifestsSeen < manifests.size(); ++bound->manifestsSeen)
    {
        m_report->add(atMs, bound->camera, manifestEntry(manifests[bound->manifestsSeen].size()));
    }
}

void PluginSession::reportRecord(int64_t atMs, BoundAgent* bound, const MetadataRecord& record)
{
    for (const MetadataItem& item : record.items)
    {
        if (record.kind == MetadataRecord::Kind::event)
        {
            ++bound->events;
            m_report->add(atMs, bound->camera, eventEntry(item, record.timestampUs));
            continue;
        }
        ++bound->objects;
        m_report->add(atMs, bound->camera,
                      objectEntry(item, trackNumber(item.trackId), record.timestampUs));
    }
    if (record.items.empty())
        m_report->add(atMs, bound->camera, emptyPacketEntry(record.kind, record.timestampUs));
}

int PluginSession::trackNumber(const Uuid& trackId)
{
    const std::string key = toString(trackId);
    const auto it = m_trackNumbers.find(key);
    if (it != m_trackNumbers.end())
        return it->second;
    const int number = static_cast<int>(m_trackNumbers.size()) + 1;
    m_trackNumbers[key] = number;
    return number;
}

}  // namespace korvane::host::cli
