// ReportEntry: one entry of the command-line host's report, and the one place where each
// kind of entry is made. Every function below builds the entry's JSON members and its text
// line from the same values, side by side, so that the two renderings cannot drift apart.
// Texts in the text line that come from the plugin, a camera or a capture have their control
// characters escaped (terminalText()).
//
// Values only; the functions are pure and thread-safe.

#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <nx/kit/json.h>

#include "host/metadata_record.h"

namespace korvane::host::cli
{

struct ReportEntry
{
    std::string kind;              //< The "kind" member of the JSON rendering.
    nx::kit::Json::Object fields;  //< The other members of the JSON rendering.
    std::string text;              //< The text rendering, after the time and the camera.
};

using TextMap = std::map<std::string, std::string>;

// The kind of every entry that reports a failure; the summary lists them.
constexpr const char* kErrorEntryKind = "error";

// What a failure entry says failed: its step, if any, and its message.
std::string failureOf(const ReportEntry& entry);

// ---- The plugin and its engine ----
ReportEntry pluginEntry(const std::string& id, const std::string& name, const std::string& version,
                        const std::string& sdkVersion);
// The Camera SDK library that the plugin calls; `path` empty when none was found.
ReportEntry cameraSdkEntry(const std::string& path);
ReportEntry engineEntry(const std::string& eventGroup, const std::string& streamFilter,
                        size_t settingsSections, size_t settingsItems);
// A failure of the run as a whole: `message` in JSON, `text` for people.
ReportEntry runErrorEntry(const std::string& message, const std::string& text);
// `failures` empty: every step succeeded; otherwise what failed, each as one text.
ReportEntry summaryEntry(const std::vector<std::string>& failures, int pluginAlive, int hostAlive,
                         int badDestructions, const std::string& logPath);

// ---- One camera's agent ----
ReportEntry connectedEntry(size_t eventTypes, size_t objectTypes);
// `summary`, when not empty, stands in the text for the list of values.
ReportEntry settingsEntry(const TextMap& values, const std::string& summary = std::string());
ReportEntry pluginSideSettingsEntry(const TextMap& values, const TextMap& errors);
ReportEntry manifestEntry(size_t length);
ReportEntry eventEntry(const MetadataItem& item, int64_t timestampUs);
ReportEntry objectEntry(const MetadataItem& item, int track, int64_t timestampUs);
ReportEntry emptyPacketEntry(MetadataRecord::Kind kind, int64_t timestampUs);
ReportEntry disconnectedEntry();

// ---- Scenario steps ----
ReportEntry stepErrorEntry(const std::string& step, const std::string& message);
ReportEntry alarmEntry(int32_t code, int64_t timeSeconds, bool producedEvent);
ReportEntry detectionsEntry(size_t faces, size_t persons, size_t vehicles);
ReportEntry framesEntry(int64_t count);

// ---- Watch runs ----
// A failure of one camera's step: `message` in both renderings.
ReportEntry cameraErrorEntry(const std::string& message);
// A line the plugin printed about the camera (an error, or the repair of one); `text` is the
// line without its prefix.
ReportEntry diagnosticEntry(const std::string& line, const std::string& text);
// An alarm of a simulated camera with a code the plugin does not know: the alarm entry,
// saying why no event came.
ReportEntry unknownAlarmEntry(int32_t code, int64_t timeSeconds);
ReportEntry cameraSummaryEntry(int events, int objects, bool sessionOpened);
// A replay ended because its capture had played to the end.
ReportEntry playedEntry();

}  // namespace korvane::host::cli
