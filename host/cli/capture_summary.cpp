#include "capture_summary.h"

#include <map>
#include <string>

#include "host/cli/capture_cameras.h"
#include "host/cli/safe_text.h"
#include "plugin/camera/alarm_table.h"
#include "sdk_recorder/capture_records.h"

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

bool isRuleCall(const std::string& op)
{
    return op.find("Rules") != std::string::npos || op.find("SmartRule") != std::string::npos;
}

// Counts of successful and failed calls of one operation.
struct CallResults
{
    int ok = 0;
    int failed = 0;
};

// What the records of one camera add up to.
struct CameraTotals
{
    int sessionsOpened = 0;
    SessionLosses losses;
    int sessionsLost = 0;
    int sessionsReopened = 0;
    Json::Array loginFailures;
    Json channels = Json(Json::Array());
    std::map<int, Json> capabilities;
    std::map<int, int> alarms;
    int faces = 0, persons = 0, vehicles = 0, plates = 0;
    std::map<std::string, CallResults> ruleCalls;
    Json::Array failedCalls;

    void addCall(const CaptureRecord& record);
    void addDelivery(const Json& json);
    Json toJson(const CapturedCamera& camera) const;
};

Json number(int value)
{
    return Json(static_cast<double>(value));
}

void CameraTotals::addCall(const CaptureRecord& record)
{
    const Json& json = record.json;
    const std::string op = json["op"].stringValue();
    const bool failed = callFailed(json);
    if (failed)
    {
        failedCalls.push_back(Json(Json::Object{
            {"line", number(record.line)}, {"op", Json(op)}, {"lastError", json["lastError"]}}));
    }
    const SessionLosses::Event event = losses.addCall(json);
    sessionsLost += event.kind == SessionLosses::Event::Kind::kLost;
    sessionsReopened += event.kind == SessionLosses::Event::Kind::kReopened;
    if (op == "OSTREL_Login")
        failed ? loginFailures.push_back(json["lastError"]) : void(++sessionsOpened);
    else if (op == "OSTREL_QueryChannelList" && !failed)
        channels = json["out"]["channels"];
    else if (op == "OSTREL_GetDeviceConfig" && json["out"]["capabilities"].isObject())
        capabilities[static_cast<int>(json["channel"].numberValue())] = json["out"]["capabilities"];
    if (isRuleCall(op))
        ++(failed ? ruleCalls[op].failed : ruleCalls[op].ok);
}

void CameraTotals::addDelivery(const Json& json)
{
    if (json["callback"].stringValue() == "alarm")
    {
        ++alarms[static_cast<int>(json["alarm"]["alarmType"].numberValue())];
        return;
    }
    const Json& record = json["record"];
    faces += static_cast<int>(record["faces"].arrayItems().size());
    persons += static_cast<int>(record["persons"].arrayItems().size());
    for (const Json& vehicle : record["vehicles"].arrayItems())
    {
        ++vehicles;
        plates += vehicle["plateNumber"].stringValue().empty() ? 0 : 1;
    }
}

Json CameraTotals::toJson(const CapturedCamera& camera) const
{
    using nx::vms_server_plugins::analytics::sample::findAlarmRow;
    Json::Array alarmCounts, capabilityList, calls;
    for (const auto& [code, count] : alarms)
    {
        alarmCounts.push_back(Json(Json::Object{{"code", number(code)},
                                                {"count", number(count)},
                                                {"known", Json(!!findAlarmRow(code))}}));
    }
    for (const auto& [channel, values] : capabilities)
    {
        Json::Object item = values.objectItems();
        item["channel"] = number(channel);
        capabilityList.push_back(Json(std::move(item)));
    }
    for (const auto& [op, results] : ruleCalls)
    {
        calls.push_back(Json(Json::Object{
            {"op", Json(op)}, {"ok", number(results.ok)}, {"failed", number(results.failed)}}));
    }
    return Json(Json::Object{{"kind", Json("camera")},
                             {"address", Json(camera.address)},
                             {"port", number(camera.port)},
                             {"loginName", Json(camera.loginName)},
                             {"sessionsOpened", number(sessionsOpened)},
                             {"sessionsLost", number(sessionsLost)},
                             {"sessionsReopened", number(sessionsReopened)},
                             {"loginFailures", Json(loginFailures)},
                             {"channels", channels},
                             {"capabilities", Json(std::move(capabilityList))},
                             {"alarms", Json(std::move(alarmCounts))},
                             {"detections", Json(Json::Object{{"faces", number(faces)},
                                                              {"persons", number(persons)},
                                                              {"vehicles", number(vehicles)},
                                                              {"plates", number(plates)}})},
                             {"ruleCalls", Json(std::move(calls))},
                             {"failedCalls", Json(failedCalls)}});
}

// The capture's own line: who recorded it, how it ended, and the failed calls of no camera.
Json captureLine(const Capture& capture, const std::vector<CapturedCamera>& cameras)
{
    std::vector<bool> ofCamera(capture.records.size(), false);
    for (const CapturedCamera& camera : cameras)
    {
        for (size_t index : camera.records)
            ofCamera[index] = true;
    }
    Json::Array failed;
    for (size_t i = 0; i < capture.records.size(); ++i)
    {
        const Json& json = capture.records[i].json;
        if (!ofCamera[i] && callFailed(json))
        {
            failed.push_back(Json(Json::Object{{"line", number(capture.records[i].line)},
                                               {"op", json["op"]},
                                               {"lastError", json["lastError"]}}));
        }
    }
    return Json(Json::Object{{"kind", Json("capture")},
                             {"file", Json(capture.path)},
                             {"recorder", capture.header["recorder"]},
                             {"platform", capture.header["platform"]},
                             {"records", number(static_cast<int>(capture.records.size()) + 1)},
                             {"end", capture.end["end"]},
                             {"dropped", capture.end["dropped"]},
                             {"truncatedLine", number(capture.truncatedLine)},
                             {"failedCalls", Json(std::move(failed))}});
}

// A value of the capture as the text shows it; its strings are the camera's.
std::string text(const Json& value)
{
    return value.isString() ? terminalText(value.stringValue()) : cleanJsonText(value.dump());
}

// "what: item, item" with `itemText` of each item, or "what: none".
template <typename ItemText>
std::string listLine(const char* what, const Json& items, ItemText itemText)
{
    std::string line = std::string("  ") + what + ":";
    for (const Json& item : items.arrayItems())
        line += (line.back() == ':' ? " " : ", ") + itemText(item);
    return line + (items.arrayItems().empty() ? " none\n" : "\n");
}

std::string failedCallText(const Json& call)
{
    return "line " + text(call["line"]) + " " + text(call["op"]) +
           " (OSTREL_GetLastError() = " + text(call["lastError"]) + ")";
}

std::string captureText(const Json& line)
{
    std::string result = "capture " + text(line["file"]) + ": recorder " + text(line["recorder"]) +
                         " on " + text(line["platform"]) + ", " + text(line["records"]) +
                         " records, ";
    if (line["end"].isString())
        result += "ended: " + text(line["end"]) + ", " + text(line["dropped"]) + " dropped\n";
    else
        result += "no end record (recording did not finish)\n";
    if (line["truncatedLine"].numberValue() > 0)
        result += "  line " + text(line["truncatedLine"]) + " is cut short and was not read\n";
    return result + listLine("failed calls of no camera", line["failedCalls"], failedCallText);
}

std::string cameraText(const Json& camera)
{
    const Json& d = camera["detections"];
    return "camera " + text(camera["address"]) + ":" + text(camera["port"]) + ", login " +
           text(camera["loginName"]) + "\n  sessions opened: " + text(camera["sessionsOpened"]) +
           ", lost: " + text(camera["sessionsLost"]) +
           ", opened again: " + text(camera["sessionsReopened"]) + "\n" +
           listLine("failed logins", camera["loginFailures"],
                    [](const Json& e) { return "OSTREL_GetLastError() = " + text(e); }) +
           listLine("channels", camera["channels"],
                    [](const Json& c)
                    {
                        return text(c["channel"]) + " \"" + text(c["name"]) + "\" " +
                               (c["online"].numberValue() != 0 ? "online" : "offline");
                    }) +
           listLine("rule capabilities", camera["capabilities"],
                    [](const Json& c)
                    {
                        return "channel " + text(c["channel"]) + " lineCross " +
                               text(c["lineCross"]) + " intrusion " + text(c["intrusion"]) +
                               " enterArea " + text(c["enterArea"]) + " leaveArea " +
                               text(c["leaveArea"]);
                    }) +
           listLine("alarms (code: count)", camera["alarms"],
                    [](const Json& a)
                    {
                        return text(a["code"]) + ": " + text(a["count"]) +
                               (a["known"].boolValue() ? "" : " (not known to the plugin)");
                    }) +
           "  detections: " + text(d["faces"]) + " faces, " + text(d["persons"]) + " persons, " +
           text(d["vehicles"]) + " vehicles, " + text(d["plates"]) + " plates\n" +
           listLine("rule and switch calls", camera["ruleCalls"],
                    [](const Json& c) {
                        return text(c["op"]) + " " + text(c["ok"]) + " ok " + text(c["failed"]) +
                               " failed";
                    }) +
           listLine("failed calls", camera["failedCalls"], failedCallText);
}

}  // namespace

std::vector<Json> captureSummary(const Capture& capture)
{
    const std::vector<CapturedCamera> cameras = capturedCameras(capture);
    std::vector<Json> summary{captureLine(capture, cameras)};
    for (const CapturedCamera& camera : cameras)
    {
        CameraTotals totals;
        for (size_t index : camera.records)
        {
            const CaptureRecord& record = capture.records[index];
            record.json["op"].isString() ? totals.addCall(record) : totals.addDelivery(record.json);
        }
        summary.push_back(totals.toJson(camera));
    }
    return summary;
}

void printCaptureSummary(const std::vector<Json>& summary, bool json, std::FILE* output)
{
    for (const Json& line : summary)
    {
        const std::string out =
            json ? cleanJsonText(line.dump()) + "\n"
                 : (line["kind"].stringValue() == "capture" ? captureText(line) : cameraText(line));
        std::fputs(out.c_str(), output);
    }
}

}  // namespace korvane::host::cli
