// CameraSession: one device agent's session with its camera through the Camera SDK.
//
// Opening logs in, finds the channel, reads the channel's smart-rule capabilities, installs
// the alarm and structured-data callbacks, subscribes, and enters the agent in the two
// registries through which the callbacks reach it; closing undoes that. Between the two the
// session can be checked (the camera answers its channel list) and the steps that do not stop
// delivery (the capabilities, the alarm callback) tried again. Every Camera SDK failure is
// followed by one OSTREL_GetLastError call; the lines that report failures name the camera's
// host and port and its error value, never the password.
//
// Thread-safety: open(), repair(), check() and close() are called by one thread at a time
// (the agent's constructor, then its background work, then its destructor). The host's
// threads use the session meanwhile through withSession(): m_mutex guards the session's
// values and is held for the whole of such a use, so a session is never closed under a host
// call; no opening step or check holds it during a Camera SDK call, so no host call waits
// for a login.

#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "camera_sdk/ostrel_sdk.h"
#include "port/mutex.h"
#include "rules/rule_kind.h"

namespace nx::vms_server_plugins::analytics::sample
{

class DeviceAgent;

// What the agent logs in with.
struct CameraLogin
{
    std::string host;
    int32_t port = 80;
    std::string loginName;
    std::string password;
    int32_t deviceChannel = 0;  //< The server's channel number.
};

class CameraSession
{
public:
    // A Camera SDK call that failed: its step as the lines name it, and its last error.
    struct Failure
    {
        const char* step = nullptr;
        int32_t lastError = 0;
    };

    struct Opening
    {
        bool delivering = false;
        bool cancelled = false;          //< Stopped between two steps; close() cleans up.
        std::optional<Failure> failure;  //< The step that stopped the opening.
        // Steps that do not stop delivery but failed, with their last errors.
        std::optional<int32_t> capabilitiesError;
        std::optional<int32_t> alarmCallbackError;

        bool repairNeeded() const { return capabilitiesError || alarmCallbackError; }
    };

    struct Repair
    {
        bool capabilitiesRead = false;
        bool alarmCallbackInstalled = false;
        std::optional<int32_t> capabilitiesError;  //< Still failing, with the last error.
        std::optional<int32_t> alarmCallbackError;

        bool repairNeeded() const { return capabilitiesError || alarmCallbackError; }
    };

    // Why a session is closed: it decides the words of the failure lines and whether a
    // session without a subscription is unsubscribed all the same.
    enum class Closing
    {
        kRelease,  //< The agent is released.
        kRetry,    //< What is left of a failed opening, before the next attempt.
        kLost,     //< The session stopped answering.
    };

    // What the host's calls see of the session.
    struct View
    {
        bool delivering = false;
        std::optional<int32_t> capabilitiesError;
        RuleSession rules;  //< Handle, channel, capabilities, prefix and address.
    };

    // The callbacks the session installs.
    struct Callbacks
    {
        OstrelAlarmCallback alarm = nullptr;
        OstrelStructDataCallback structuredData = nullptr;
    };

    // `agent` is entered in the registries when a session delivers; its lines start with
    // `printPrefix`.
    CameraSession(DeviceAgent* agent, Callbacks callbacks, CameraLogin login,
                  std::string printPrefix);

    // "host:port", as the lines name the camera.
    const std::string& cameraAddress() const { return m_cameraAddress; }

    // The prefix that starts the agent's lines.
    const std::string& printPrefix() const { return m_printPrefix; }

    // Opens the session, stopping at the first step that fails and, when `cancelled` (may
    // be null) turns true, before the next Camera SDK call. REQUIRES: closed.
    Opening open(const std::atomic<bool>* cancelled) EXCLUDES(m_mutex);

    // Tries again the steps of a delivering session that failed.
    Repair repair(const std::atomic<bool>* cancelled) EXCLUDES(m_mutex);

    // Whether the delivering session still answers; *lastError when it does not.
    bool check(int32_t* lastError) EXCLUDES(m_mutex);

    // Leaves the registries, unsubscribes and logs out; nothing without a session.
    void close(Closing why) EXCLUDES(m_mutex);

    // Runs `use` with the session's view, holding the session for the whole call.
    void withSession(const std::function<void(const View&)>& use) const EXCLUDES(m_mutex);

    // The lines of a failed opening: `how` is "did not open" or "did not open again", and
    // `consequence` ends the line of the step that stopped it.
    void reportOpening(const Opening& opening, const char* how,
                       const std::string& consequence) const;

    void reportCapabilitiesFailure(int32_t lastError) const;
    void reportAlarmCallbackFailure(int32_t lastError) const;

private:
    struct State
    {
        void* handle = nullptr;
        bool delivering = false;
        int32_t channel = 0;
        bool subscribed = false;
        uint32_t subscriptionId = 0;
        uint32_t lineCrossCapability = 0;
        uint32_t intrusionCapability = 0;
        uint32_t enterAreaCapability = 0;
        uint32_t leaveAreaCapability = 0;
        std::optional<int32_t> capabilitiesError;
        bool alarmCallbackMissing = false;
    };

    // The steps after a successful login; the failure that stopped them, if any.
    std::optional<Failure> prepare(void* handle, Opening* opening,
                                   const std::atomic<bool>* cancelled) EXCLUDES(m_mutex);

    // Reads the four capability values into the state; the last error when that fails.
    std::optional<int32_t> readCapabilities(void* handle, int32_t channel) EXCLUDES(m_mutex);

    // Installs the alarm callback; the last error when that fails.
    std::optional<int32_t> installAlarmCallback(void* handle) EXCLUDES(m_mutex);

    // Prints "ERROR: " + `what` + " (OSTREL_GetLastError() = N)" + `consequence`.
    void printFailure(const std::string& what, int32_t lastError,
                      const std::string& consequence) const;

    DeviceAgent* const m_agent;
    const Callbacks m_callbacks;
    const CameraLogin m_login;
    const std::string m_printPrefix;
    const std::string m_cameraAddress;

    mutable korvane::port::Mutex m_mutex;
    State m_state GUARDED_BY(m_mutex);
};

}  // namespace nx::vms_server_plugins::analytics::sample
