#include "capture_cameras.h"

#include <map>
#include <set>

namespace korvane::host::cli
{

using nx::kit::Json;

namespace
{

// Attributes records to cameras in file order.
class Attribution
{
public:
    void add(const Json& record, size_t index)
    {
        const int session = static_cast<int>(record["session"].numberValue());
        if (record["op"].stringValue() == "OSTREL_Login")
            return addLogin(record, session, index);
        const auto camera = m_cameraOfSession.find(session);
        if (camera == m_cameraOfSession.end())
            return;
        std::set<int>& open = m_openSessions[camera->second];
        if (record["callback"].isString() &&
            (record["afterLogout"].boolValue() || open.empty() || *open.begin() != session))
        {
            return;
        }
        // After its logout, failed or not, the plugin reads nothing of the session: the
        // camera's deliveries are those of its other sessions.
        if (record["op"].stringValue() == "OSTREL_Logout")
            open.erase(session);
        m_cameras[camera->second].records.push_back(index);
    }

    std::vector<CapturedCamera> take() { return std::move(m_cameras); }

private:
    void addLogin(const Json& record, int session, size_t index)
    {
        const std::string key = record["address"].stringValue() + "\n" + record["port"].dump() +
                                "\n" + record["loginName"].stringValue();
        auto [it, added] = m_cameraOfKey.emplace(key, m_cameras.size());
        if (added)
        {
            CapturedCamera camera;
            camera.address = record["address"].stringValue();
            camera.port = static_cast<int32_t>(record["port"].numberValue());
            camera.loginName = record["loginName"].stringValue();
            m_cameras.push_back(camera);
        }
        m_cameras[it->second].records.push_back(index);
        if (session > 0 && !callFailed(record))
        {
            m_cameraOfSession[session] = it->second;
            m_openSessions[it->second].insert(session);
        }
    }

    std::vector<CapturedCamera> m_cameras;
    std::map<std::string, size_t> m_cameraOfKey;
    std::map<int, size_t> m_cameraOfSession;
    std::map<size_t, std::set<int>> m_openSessions;
};

}  // namespace

std::vector<CapturedCamera> capturedCameras(const Capture& capture)
{
    Attribution attribution;
    for (size_t i = 0; i < capture.records.size(); ++i)
        attribution.add(capture.records[i].json, i);
    return attribution.take();
}

bool callFailed(const Json& record)
{
    return record["op"].isString() && record["lastError"].isNumber();
}

SessionLosses::Event SessionLosses::addCall(const Json& record)
{
    const std::string& op = record["op"].stringValue();
    const bool failed = callFailed(record);
    Event event;
    if (op == "OSTREL_Login")
    {
        if (!failed && m_owed)
            event.kind = Event::Kind::kReopened;
        m_owed = failed;
        return event;
    }
    const int number = static_cast<int>(record["session"].numberValue());
    const int64_t timeUs = static_cast<int64_t>(record["t"].numberValue());
    Session& session = m_sessions[number];
    if (op == "OSTREL_Subscribe" && !failed)
    {
        session.subscribed = true;
        session.subscribedUs = timeUs;
    }
    else if (op == "OSTREL_QueryChannelList" && session.subscribed)
    {
        if (!failed)
            session.firstFailedCheckUs = -1;
        else if (session.firstFailedCheckUs < 0)
            session.firstFailedCheckUs = timeUs;
    }
    else if (op == "OSTREL_Logout")
    {
        if (session.subscribed && session.firstFailedCheckUs >= 0)
        {
            event.kind = Event::Kind::kLost;
            event.subscribedUs = session.subscribedUs;
            event.firstFailedCheckUs = session.firstFailedCheckUs;
            m_owed = true;
        }
        m_sessions.erase(number);
    }
    return event;
}

}  // namespace korvane::host::cli
