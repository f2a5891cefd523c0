#include "plugin_session.h"

#include <cstdio>

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

std::string boxText(const Rect& box)
{
    char text[96];
    std::snprintf(text, sizeof(text), "(%.3f, %.3f, %.3f, %.3f)", box.x, box.y, box.width,
                  box.height);
    return text;
}

Json boxJson(const Rect& box)
{
    return Json::Array{static_cast<double>(box.x), static_cast<double>(box.y),
                       static_cast<double>(box.width), static_cast<double>(box.height)};
}

double number(size_t value)
{
    return static_cast<double>(value);
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

bool PluginSession::start()
{
    m_plugin = m_library.createPlugin();
    if (!m_plugin)
    {
        m_report->note("error", {{"message", "createNxPlugin refused"}},
                       "ERROR: the plugin could not be created (the Camera SDK did not start)");
        return false;
    }
    m_plugin->setHostObject(makePtr<HostObject>().get());
    Result<const IString*> pluginManifest;
    m_plugin->getManifest(&pluginManifest);
    const Json plugin = manifestOf(&pluginManifest);
    const std::string& name = plugin["name"].stringValue();
    const std::string& version = plugin["version"].stringValue();
    const std::string& id = plugin["id"].stringValue();
    m_report->note(
        "plugin",
        {{"id", id}, {"name", name}, {"version", version}, {"sdkVersion", m_library.sdkVersion()}},
        "plugin  " + name + " " + version + " (" + id + "), SDK " + m_library.sdkVersion());

    Result<IEngine*> engine;
    m_plugin->doCreateEngine(&engine);
    if (!engine.isOk())
    {
        m_report->note("error", {{"message", errorText(&engine.error)}},
                       "ERROR: the plugin refused to create its engine");
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
    const size_t sections = model["sections"].arrayItems().size();
    const size_t items = model["items"].arrayItems().size();
    m_report->note("engine",
                   {{"eventGroup", group},
                    {"streamTypeFilter", filter},
                    {"settingsSections", number(sections)},
                    {"settingsItems", number(items)}},
                   "engine  event group " + group + ", stream " + filter + ", settings: " +
                       std::to_string(sections) + " sections, " + std::to_string(items) + " items");
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
    m_report->add(atMs, bound->camera, "connected",
                  {{"eventTypes", number(events)}, {"objectTypes", number(objects)}},
                  "connected: manifest with " + std::to_string(events) + " event types and " +
                      std::to_string(objects) + " object types");
    return true;
}

bool PluginSession::sendSettings(int64_t atMs, const BoundAgent& bound, const Settings& values,
                                 std::string* errorText, const std::string& summary)
{
    Result<const ISettingsResponse*> result;
    bound.agent->doSetSettings(&result, makeStringMap(values).get());
    const Ptr<const ISettingsResponse> response(result.value);
    if (!result.isOk())
    {
        *errorText = "settings refused: " + cli::errorText(&result.error);
        return false;
    }
    Json::Object sent;
    std::string text;
    for (const auto& [key, value] : values)
    {
        sent[key] = value;
        text += (text.empty() ? "" : ", ") + key + "=" + value;
    }
    m_report->add(atMs, bound.camera, "settings", {{"values", sent}},
                  "settings sent: " + (summary.empty() ? text : summary));
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
    Json::Object valueJson;
    Json::Object errorJson;
    std::string text = "plugin-side settings: " + std::to_string(read.size()) + " value(s)";
    for (const auto& [key, value] : read)
    {
        valueJson[key] = value;
        text += "\n" + std::string(23, ' ') + key + " = " + value;
    }
    for (const auto& [key, value] : errors)
    {
        errorJson[key] = value;
        text += "\n" + std::string(23, ' ') + "error " + key + ": " + value;
    }
    m_report->add(atMs, bound.camera, "pluginSideSettings",
                  {{"values", valueJson}, {"errors", errorJson}}, text);
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
        m_report->add(atMs, bound->camera, "manifest",
                      {{"length", number(manifests[bound->manifestsSeen].size())}},
                      "device agent manifest pushed again");
    }
}

void PluginSession::reportRecord(int64_t atMs, BoundAgent* bound, const MetadataRecord& record)
{
    const std::string& name = bound->camera;
    const std::string at = " at " + std::to_string(record.timestampUs) + " us";
    const double timestampUs = static_cast<double>(record.timestampUs);
    for (const MetadataItem& item : record.items)
    {
        if (record.kind == MetadataRecord::Kind::event)
        {
            ++bound->events;
            m_report->add(atMs, name, "event",
                          {{"typeId", item.typeId},
                           {"caption", item.caption},
                           {"description", item.description},
                           {"isActive", item.isActive},
                           {"timestampUs", timestampUs}},
                          "event  " + item.typeId + " \"" + item.caption + "\" \"" +
                              item.description + "\" " + (item.isActive ? "active" : "ended") + at);
            continue;
        }
        ++bound->objects;
        Json::Object attributes;
        std::string attributeText;
        for (const auto& [attributeName, value] : item.attributes)
        {
            attributes[attributeName] = value;
            attributeText += (attributeText.empty() ? "" : ", ") + attributeName + "=" + value;
        }
        const int track = trackNumber(item.trackId);
        m_report->add(atMs, name, "object",
                      {{"typeId", item.typeId},
                       {"attributes", attributes},
                       {"boundingBox", boxJson(item.boundingBox)},
                       {"track", static_cast<double>(track)},
                       {"timestampUs", timestampUs}},
                      "object " + item.typeId + " track " + std::to_string(track) + " box " +
                          boxText(item.boundingBox) + at + " {" + attributeText + "}");
    }
    if (record.items.empty())
    {
        m_report->add(atMs, name, "emptyPacket", {{"timestampUs", timestampUs}},
                      "empty " + std::string(toString(record.kind)) + " packet" + at);
    }
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
