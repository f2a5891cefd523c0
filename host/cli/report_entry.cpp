#include "report_entry.h"

#include <cstdio>

#include "host/cli/safe_text.h"

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

double number(size_t value)
{
    return static_cast<double>(value);
}

double number(int64_t value)
{
    return static_cast<double>(value);
}

std::string boxText(const nx::sdk::analytics::Rect& box)
{
    char text[96];
    std::snprintf(text, sizeof(text), "(%.3f, %.3f, %.3f, %.3f)", box.x, box.y, box.width,
                  box.height);
    return text;
}

Json boxJson(const nx::sdk::analytics::Rect& box)
{
    return Json::Array{static_cast<double>(box.x), static_cast<double>(box.y),
                       static_cast<double>(box.width), static_cast<double>(box.height)};
}

std::string atText(int64_t timestampUs)
{
    return " at " + std::to_string(timestampUs) + " us";
}

// The members of `values` as a JSON object, and as "key=value" joined by ", ".
Json::Object textObject(const TextMap& values, std::string* joined)
{
    Json::Object object;
    for (const auto& [key, value] : values)
    {
        object[key] = value;
        if (joined)
            *joined +=
                (joined->empty() ? "" : ", ") + terminalText(key) + "=" + terminalText(value);
    }
    return object;
}

}  // namespace

ReportEntry pluginEntry(const std::string& id, const std::string& name, const std::string& version,
                        const std::string& sdkVersion)
{
    return {"plugin",
            {{"id", id}, {"name", name}, {"version", version}, {"sdkVersion", sdkVersion}},
            "plugin  " + terminalText(name) + " " + terminalText(version) + " (" +
                terminalText(id) + "), server plugin SDK " + terminalText(sdkVersion)};
}

ReportEntry cameraSdkEntry(const std::string& path)
{
    return {"cameraSdk",
            {{"library", path}},
            "camera SDK library " + (path.empty() ? std::string("not found") : terminalText(path))};
}

ReportEntry engineEntry(const std::string& eventGroup, const std::string& streamFilter,
                        size_t settingsSections, size_t settingsItems)
{
    return {"engine",
            {{"eventGroup", eventGroup},
             {"streamTypeFilter", streamFilter},
             {"settingsSections", number(settingsSections)},
             {"settingsItems", number(settingsItems)}},
            "engine  event group " + terminalText(eventGroup) + ", stream " +
                terminalText(streamFilter) + ", settings: " + std::to_string(settingsSections) +
                " sections, " + std::to_string(settingsItems) + " items"};
}

std::string failureOf(const ReportEntry& entry)
{
    const auto member = [&](const char* name)
    {
        const auto it = entry.fields.find(name);
        return it == entry.fields.end() ? std::string() : it->second.stringValue();
    };
    const std::string step = member("step");
    return step.empty() ? member("message") : step + ": " + member("message");
}

ReportEntry runErrorEntry(const std::string& message, const std::string& text)
{
    return {kErrorEntryKind, {{"message", message}}, terminalText(text)};
}

ReportEntry summaryEntry(const std::vector<std::string>& failures, int pluginAlive, int hostAlive,
                         int badDestructions, const std::string& logPath)
{
    Json::Object fields = {{"ok", failures.empty()},
                           {"pluginObjectsAlive", static_cast<double>(pluginAlive)},
                           {"hostObjectsAlive", static_cast<double>(hostAlive)},
                           {"badDestructions", static_cast<double>(badDestructions)},
                           {"log", logPath}};
    std::string outcome = "all steps succeeded";
    if (!failures.empty())
    {
        fields["whatFailed"] = Json::Array(failures.begin(), failures.end());
        outcome = "FAILED: ";
        for (size_t i = 0; i < failures.size(); ++i)
        {
            const std::string& failure = failures[i];
            const bool period = !failure.empty() && failure.back() == '.';
            outcome += (i == 0 ? "" : "; ") +
                       terminalText(failure.substr(0, failure.size() - (period ? 1 : 0)));
        }
    }
    return {"summary", std::move(fields),
            "summary " + outcome + "; objects alive: " + std::to_string(pluginAlive) +
                " in the plugin, " + std::to_string(hostAlive) +
                " in the host; bad destructions: " + std::to_string(badDestructions) +
                "; plugin diagnostics in " + terminalText(logPath)};
}

ReportEntry connectedEntry(size_t eventTypes, size_t objectTypes)
{
    return {"connected",
            {{"eventTypes", number(eventTypes)}, {"objectTypes", number(objectTypes)}},
            "connected: manifest with " + std::to_string(eventTypes) + " event types and " +
                std::to_string(objectTypes) + " object types"};
}

ReportEntry settingsEntry(const TextMap& values, const std::string& summary)
{
    std::string joined;
    Json::Object object = textObject(values, &joined);
    return {"settings",
            {{"values", std::move(object)}},
            "settings sent: " + (summary.empty() ? joined : summary)};
}

ReportEntry pluginSideSettingsEntry(const TextMap& values, const TextMap& errors)
{
    std::string text = "plugin-side settings: " + std::to_string(values.size()) + " value(s)";
    const std::string indent = "\n" + std::string(23, ' ');
    for (const auto& [key, value] : values)
        text += indent + terminalText(key) + " = " + terminalText(value);
    for (const auto& [key, value] : errors)
        text += indent + "error " + terminalText(key) + ": " + terminalText(value);
    return {"pluginSideSettings",
            {{"values", textObject(values, nullptr)}, {"errors", textObject(errors, nullptr)}},
            text};
}

ReportEntry manifestEntry(size_t length)
{
    return {"manifest", {{"length", number(length)}}, "device agent manifest pushed again"};
}

ReportEntry eventEntry(const MetadataItem& item, int64_t timestampUs)
{
    return {"event",
            {{"typeId", item.typeId},
             {"caption", item.caption},
             {"description", item.description},
             {"isActive", item.isActive},
             {"timestampUs", number(timestampUs)}},
            "event  " + terminalText(item.typeId) + " \"" + terminalText(item.caption) + "\" \"" +
                terminalText(item.description) + "\" " + (item.isActive ? "active" : "ended") +
                atText(timestampUs)};
}

ReportEntry objectEntry(const MetadataItem& item, int track, int64_t timestampUs)
{
    Json::Object attributes;
    std::string attributeText;
    for (const auto& [name, value] : item.attributes)
    {
        attributes[name] = value;
        attributeText +=
            (attributeText.empty() ? "" : ", ") + terminalText(name) + "=" + terminalText(value);
    }
    return {"object",
            {{"typeId", item.typeId},
             {"attributes", std::move(attributes)},
             {"boundingBox", boxJson(item.boundingBox)},
             {"track", static_cast<double>(track)},
             {"timestampUs", number(timestampUs)}},
            "object " + terminalText(item.typeId) + " track " + std::to_string(track) + " box " +
                boxText(item.boundingBox) + atText(timestampUs) + " {" + attributeText + "}"};
}

ReportEntry emptyPacketEntry(MetadataRecord::Kind kind, int64_t timestampUs)
{
    return {"emptyPacket",
            {{"timestampUs", number(timestampUs)}},
            "empty " + std::string(toString(kind)) + " packet" + atText(timestampUs)};
}

ReportEntry disconnectedEntry()
{
    return {"disconnected", {}, "disconnected"};
}

ReportEntry stepErrorEntry(const std::string& step, const std::string& message)
{
    return {kErrorEntryKind,
            {{"step", step}, {"message", message}},
            "ERROR in " + terminalText(step) + ": " + terminalText(message)};
}

ReportEntry alarmEntry(int32_t code, int64_t timeSeconds, bool producedEvent)
{
    return {"alarm",
            {{"code", static_cast<double>(code)}, {"time", number(timeSeconds)}},
            "camera alarm " + std::to_string(code) + " at " + std::to_string(timeSeconds) + " s" +
                (producedEvent ? "" : " -> no event")};
}

ReportEntry unknownAlarmEntry(int32_t code, int64_t timeSeconds)
{
    ReportEntry entry = alarmEntry(code, timeSeconds, false);
    entry.fields["known"] = false;
    // A watched camera's alarm times are the wall clock's: the text leaves them out.
    const std::string at = " at " + std::to_string(timeSeconds) + " s";
    entry.text.erase(entry.text.find(at), at.size());
    entry.text += " (a code the plugin does not know)";
    return entry;
}

ReportEntry detectionsEntry(size_t faces, size_t persons, size_t vehicles)
{
    return {
        "detections",
        {{"faces", number(faces)}, {"persons", number(persons)}, {"vehicles", number(vehicles)}},
        "camera detections: " + std::to_string(faces) + " face(s), " + std::to_string(persons) +
            " person(s), " + std::to_string(vehicles) + " vehicle(s)"};
}

ReportEntry framesEntry(int64_t count)
{
    return {"frames",
            {{"count", number(count)}},
            "video: " + std::to_string(count) + " frame(s) pushed"};
}

ReportEntry cameraErrorEntry(const std::string& message)
{
    return {kErrorEntryKind, {{"message", message}}, "ERROR: " + terminalText(message)};
}

ReportEntry diagnosticEntry(const std::string& line, const std::string& text)
{
    return {"diagnostic", {{"line", line}}, "plugin: " + terminalText(text)};
}

ReportEntry cameraSummaryEntry(int events, int objects, bool sessionOpened)
{
    return {"summary",
            {{"events", static_cast<double>(events)},
             {"objects", static_cast<double>(objects)},
             {"sessionOpened", sessionOpened}},
            "summary: " + std::to_string(events) + " event(s), " + std::to_string(objects) +
                " object(s); the camera session " + (sessionOpened ? "opened" : "did not open")};
}

ReportEntry playedEntry()
{
    return {"played", {}, "replay  the capture has played to its end"};
}

}  // namespace korvane::host::cli
