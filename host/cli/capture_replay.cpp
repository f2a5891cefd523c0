#include "capture_replay.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "host/cli/capture_cameras.h"
#include "host/cli/safe_text.h"

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

Json number(int64_t value)
{
    return Json(static_cast<double>(value));
}

// The member of a channel's "rules" that a rule or switch read fills, by operation.
const std::map<std::string, std::vector<const char*>>& ruleMembersOfRead()
{
    static const std::map<std::string, std::vector<const char*>> kMembers = {
        {"OSTREL_GetLineCrossRules", {"lineCross"}},
        {"OSTREL_GetIntrusionRules", {"intrusion"}},
        {"OSTREL_GetEnterAreaRules", {"enterArea"}},
        {"OSTREL_GetLeaveAreaRules", {"leaveArea"}},
        {"OSTREL_GetSmartRuleSwitches", {"enabledTypes", "disabledTypes"}},
        {"OSTREL_GetSmartRuleCombinations", {"combinations"}},
    };
    return kMembers;
}

// One captured camera as a simulated camera, built from its records in order.
class ReplayedCamera
{
public:
    explicit ReplayedCamera(const CapturedCamera& camera) : m_camera(camera) {}

    void addCall(const Json& record)
    {
        const std::string op = record["op"].stringValue();
        const int call = ++m_calls[op];
        if (callFailed(record))
        {
            m_failures.push_back(Json(Json::Object{
                {"op", Json(op)}, {"call", Json(call)}, {"error", record["lastError"]}}));
            return;
        }
        const Json& out = record["out"];
        if (op == "OSTREL_Login" && out["channelCount"].isNumber())
            m_channelCount = static_cast<int>(out["channelCount"].numberValue());
        if (!record["channel"].isNumber())
            return;
        const int number = static_cast<int>(record["channel"].numberValue());
        m_firstChannel = m_firstChannel < 0 ? number : m_firstChannel;
        Json::Object& channel = m_channels[number];
        for (const auto& [name, value] : out["capabilities"].objectItems())
            channel[name] = value;
        const auto members = ruleMembersOfRead().find(op);
        if (members == ruleMembersOfRead().end())
            return;
        Json::Object rules = channel["rules"].objectItems();
        for (const char* member : members->second)
            rules[member] = members->second.size() == 1 ? out : out[member];
        channel["rules"] = Json(std::move(rules));
    }

    // The timed entry of a delivery `atMs` after the start of the capture.
    static Json timedEntry(const std::string& name, const Json& record, int64_t atMs)
    {
        Json::Object entry{{"camera", Json(name)}, {"atMs", number(atMs)}};
        if (record["callback"].stringValue() == "alarm")
        {
            entry["alarm"] = record["alarm"]["alarmType"];
            if (record["alarm"]["alarmTime"].isNumber())
                entry["time"] = record["alarm"]["alarmTime"];
        }
        else
        {
            entry["objects"] = record["record"];
        }
        return Json(std::move(entry));
    }

    Json toJson(const std::string& name) const;

private:
    const CapturedCamera& m_camera;
    std::map<std::string, int> m_calls;
    Json::Array m_failures;
    int m_channelCount = 1;
    int m_firstChannel = -1;
    std::map<int, Json::Object> m_channels;
};

Json ReplayedCamera::toJson(const std::string& name) const
{
    Json::Array channels;
    for (const auto& [channelNumber, members] : m_channels)
    {
        Json::Object channel{{"number", Json(channelNumber)}};
        for (const char* capability : {"lineCross", "intrusion", "enterArea", "leaveArea"})
            channel[capability] = members.count(capability) ? members.at(capability) : Json(0);
        if (members.count("rules"))
            channel["rules"] = members.at("rules");
        channels.push_back(Json(std::move(channel)));
    }
    // The agent of a multi-channel device addresses the server's channel number + 1.
    const int deviceChannel = std::max(0, m_firstChannel - (m_channelCount > 1 ? 1 : 0));
    return Json(Json::Object{{"name", Json(name)},
                             {"address", Json(m_camera.address)},
                             {"port", Json(m_camera.port)},
                             {"login", Json(m_camera.loginName)},
                             {"anyPassword", Json(true)},
                             {"channelCount", Json(m_channelCount)},
                             {"channels", Json(std::move(channels))},
                             {"device", Json(Json::Object{{"channel", Json(deviceChannel)}})},
                             {"failures", Json(m_failures)}});
}

// The outage that loses a session as the capture lost it: a restart of the camera while it
// was silent, from just after its last delivery (or the session's subscription, when later)
// to just before the first failed check of the session. The plugin checks a session when
// video comes back after a gap (10 s), and in the capture the camera was away for that gap
// at least, without delivering; so the replayed plugin checks when video comes back, at
// the captured time, and meets the captured failures.
Json outageEntry(const std::string& name, int64_t silentFromUs, int64_t firstFailedCheckUs)
{
    const int64_t endMs = firstFailedCheckUs / 1000 - 1;
    const int64_t atMs = std::min(silentFromUs / 1000 + 1, endMs - 1);
    return Json(Json::Object{{"camera", Json(name)},
                             {"atMs", number(std::max<int64_t>(atMs, 0))},
                             {"awayMs", number(std::max<int64_t>(endMs - atMs, 1))},
                             {"reboot", Json(true)}});
}

// A camera's name: its address, or with the port (and login name) when that is taken.
std::string uniqueName(const CapturedCamera& camera, std::set<std::string>* taken)
{
    const std::string address = camera.address;
    const std::string withPort = address + ":" + std::to_string(camera.port);
    for (const std::string& name : {address, withPort, withPort + "/" + camera.loginName})
    {
        if (taken->insert(name).second)
            return name;
    }
    return withPort + "/" + camera.loginName + "/" + std::to_string(taken->size());
}

}  // namespace

Json simulationOfCapture(const Capture& capture)
{
    Json::Array cameras;
    std::vector<std::pair<size_t, Json>> timed;  //< By record index, to keep the file's order.
    std::set<std::string> names;
    for (const CapturedCamera& camera : capturedCameras(capture))
    {
        const std::string name = uniqueName(camera, &names);
        ReplayedCamera replayed(camera);
        SessionLosses losses;
        int64_t lastDeliveryUs = 0;
        for (size_t index : camera.records)
        {
            const Json& record = capture.records[index].json;
            const int64_t timeUs = static_cast<int64_t>(record["t"].numberValue());
            if (!record["op"].isString())
            {
                timed.emplace_back(index, ReplayedCamera::timedEntry(name, record, timeUs / 1000));
                lastDeliveryUs = timeUs;
                continue;
            }
            replayed.addCall(record);
            const SessionLosses::Event event = losses.addCall(record);
            if (event.kind == SessionLosses::Event::Kind::kLost)
            {
                const int64_t silentFromUs = std::max(lastDeliveryUs, event.subscribedUs);
                timed.emplace_back(index,
                                   outageEntry(name, silentFromUs, event.firstFailedCheckUs));
            }
        }
        cameras.push_back(replayed.toJson(name));
    }
    // In the file's order, and so in time order but for the outages, which began earlier.
    std::sort(timed.begin(), timed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::stable_sort(timed.begin(), timed.end(),
                     [](const auto& a, const auto& b)
                     { return a.second["atMs"].numberValue() < b.second["atMs"].numberValue(); });
    Json::Array activity;
    for (auto& entry : timed)
        activity.push_back(std::move(entry.second));
    const int64_t lengthUs =
        capture.records.empty() ? 0 : int64_t(capture.records.back().json["t"].numberValue());
    return Json(Json::Object{{"cameras", Json(std::move(cameras))},
                             {"activity", Json(std::move(activity))},
                             {"lengthMs", number(lengthUs / 1000)}});
}

void printSimulation(const Json& simulation, std::FILE* output)
{
    std::string text = "{\"cameras\": [";
    for (const Json& camera : simulation["cameras"].arrayItems())
        text += (text.back() == '[' ? "\n    " : ",\n    ") + camera.dump();
    text += "],\n \"activity\": [";
    for (const Json& entry : simulation["activity"].arrayItems())
        text += (text.back() == '[' ? "\n    " : ",\n    ") + entry.dump();
    text += "],\n \"lengthMs\": " + simulation["lengthMs"].dump() + "}\n";
    std::fputs(cleanJsonText(text).c_str(), output);
}

}  // namespace korvane::host::cli
