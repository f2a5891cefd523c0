// Control interface of the Camera SDK stand-in, for tests and the command-line host.
//
// The stand-in simulates cameras behind the OSTREL_ operations: cameras are added here,
// sessions are opened on them with OSTREL_Login, and notifications raised here reach the
// callbacks of the camera's subscribed sessions. Every camera has a delivery thread of its
// own, so a slow callback of one camera never delays another camera. The calls the plugin
// makes are recorded and can be read back here; chosen operations can be made to fail.
//
// The plugin never uses it. All functions are thread-safe. None of them may be called
// from inside an SDK callback unless its comment says so.

#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "camera_sdk/ostrel_sdk.h"
#include "ostrel_sdk/ostrel_control_export.h"

namespace ostrel::control
{

// Values OSTREL_GetLastError reports after a failed call.
constexpr int32_t kErrorInitFailed = 1;
constexpr int32_t kErrorInjected = 2;         // failure made by failOperation
constexpr int32_t kErrorUnknownDevice = 3;    // no camera at that address and port
constexpr int32_t kErrorBadCredentials = 4;   // wrong login name or password
constexpr int32_t kErrorInvalidHandle = 5;    // no such session
constexpr int32_t kErrorInvalidArgument = 6;  // null record, unknown subscription id, ...
constexpr int32_t kErrorNoSuchChannel = 7;
constexpr int32_t kErrorUnknownCommand = 8;  // GetDeviceConfig command other than 3
constexpr int32_t kErrorBufferTooSmall = 9;
constexpr int32_t kErrorNoAnswer = 10;  // the camera does not answer: it is away

// One value per OSTREL_ operation.
enum class Operation
{
    kInit,
    kGetLastError,
    kLogin,
    kLogout,
    kQueryChannelList,
    kGetDeviceConfig,
    kSetAlarmCallback,
    kSetStructDataCallback,
    kSubscribe,
    kUnsubscribe,
    kGetLineCrossRules,
    kSetLineCrossRules,
    kGetIntrusionRules,
    kSetIntrusionRules,
    kGetEnterAreaRules,
    kSetEnterAreaRules,
    kGetLeaveAreaRules,
    kSetLeaveAreaRules,
    kGetSmartRuleSwitches,
    kSetSmartRuleSwitches,
    kGetSmartRuleCombinations,
};
constexpr int kOperationCount = static_cast<int>(Operation::kGetSmartRuleCombinations) + 1;

// The Camera SDK function of each operation, in the order of Operation.
constexpr const char* kOperationNames[kOperationCount] = {
    "OSTREL_Init",
    "OSTREL_GetLastError",
    "OSTREL_Login",
    "OSTREL_Logout",
    "OSTREL_QueryChannelList",
    "OSTREL_GetDeviceConfig",
    "OSTREL_SetAlarmCallback",
    "OSTREL_SetStructDataCallback",
    "OSTREL_Subscribe",
    "OSTREL_Unsubscribe",
    "OSTREL_GetLineCrossRules",
    "OSTREL_SetLineCrossRules",
    "OSTREL_GetIntrusionRules",
    "OSTREL_SetIntrusionRules",
    "OSTREL_GetEnterAreaRules",
    "OSTREL_SetEnterAreaRules",
    "OSTREL_GetLeaveAreaRules",
    "OSTREL_SetLeaveAreaRules",
    "OSTREL_GetSmartRuleSwitches",
    "OSTREL_SetSmartRuleSwitches",
    "OSTREL_GetSmartRuleCombinations",
};

// The four kinds of rule sets a channel keeps.
enum class RuleSetKind
{
    kLineCross,
    kIntrusion,
    kEnterArea,
    kLeaveArea,
};

// One stored rule. The record's `filterCount` and `filters` fields are ignored: `filters`
// holds the rule's object filters. A read reports `reportedFilterCount` as the rule's
// filter count when it is not negative (for cameras that report more than they fill),
// otherwise the number of filters copied; it never copies more filters than `filters`
// holds or than the caller's declared capacity.
template <typename Rule>
struct RuleEntry
{
    Rule rule{};
    std::vector<ObjectFilter> filters;
    int32_t reportedFilterCount = -1;
};

// A stored rule set. A read reports `ruleCount` unchanged (it may be below or above four)
// and fills at most four rule records: the first min(4, ruleCount, rules.size()).
template <typename Rule>
struct RuleList
{
    int32_t ruleCount = 0;
    std::vector<RuleEntry<Rule>> rules;
};

using LineRules = RuleList<LineRule>;
using AreaRules = RuleList<AreaRule>;

// One channel of a simulated camera.
struct ChannelConfig
{
    // Smart-rule capability values, written into the command-3 configuration block.
    uint32_t intrusionCapability = 0;
    uint32_t lineCrossCapability = 0;
    uint32_t enterAreaCapability = 0;
    uint32_t leaveAreaCapability = 0;
    LineRules lineCrossRules;
    AreaRules intrusionRules;
    AreaRules enterAreaRules;
    AreaRules leaveAreaRules;
    std::vector<int32_t> enabledTypes;               // switched-on rule types
    std::vector<int32_t> disabledTypes;              // switched-off rule types
    std::vector<std::vector<int32_t>> combinations;  // groups of types that run together
};

// One call of a camera made to fail: its `call`th call (counting from 1) of `operation`
// that reaches the camera (a login at its address and port, or a call on one of its
// sessions, while it is away too) fails with the last error `error`. Calls of OSTREL_Init
// and OSTREL_GetLastError reach no camera.
struct CameraFailure
{
    Operation operation = Operation::kLogin;
    int call = 1;
    int32_t error = kErrorInjected;
};

// A simulated camera. Per-channel calls succeed only for channels present in `channels`.
struct CameraConfig
{
    std::string address;
    int32_t port = 80;
    std::string loginName;
    std::string password;
    bool anyPassword = false;  // a login with `loginName` succeeds whatever its password
    std::vector<CameraFailure> failures;
    int32_t channelCount = 1;  // reported by OSTREL_QueryChannelList
    std::map<int32_t, ChannelConfig> channels;
};

// Identifies a camera added with addCamera; never 0.
using CameraId = int;

// Attribute codes of one face; the record's other bytes are zero.
struct FaceCodes
{
    int32_t gender = 0, age = 0, glassFlag = 0, glassesStyle = 0, maskFlag = 0;
    int32_t emotion = 0, smile = 0, skinColor = 0, beard = 0, hatStyle = 0, hatColor = 0;
};

// Attribute codes of one person.
struct PersonCodes
{
    int32_t gender = 0, age = 0, sleevesLength = 0, topClothingColor = 0;
    int32_t trousersLength = 0, bottomClothingColor = 0, bodyToward = 0;
    int32_t shoesTubeLength = 0, hairLength = 0, bagFlag = 0, mask = 0;
    int32_t coatTexture = 0, movingDirection = 0;
};

// Codes of one vehicle and its plate. A plate text longer than 63 bytes is cut.
struct VehicleCodes
{
    int32_t vehicleType = 0, vehicleColor = 0, speedUnit = 0;
    float speed = 0.0f;
    std::string plateNumber;
    int32_t plateColor = 0, plateType = 0;
};

// One structured batch. Empty lists are delivered with a count of 0 and a null pointer.
struct StructuredBatch
{
    std::vector<FaceCodes> faces;
    std::vector<PersonCodes> persons;
    std::vector<VehicleCodes> vehicles;
};

// A live session, as the stand-in sees it.
struct SessionInfo
{
    void* handle = nullptr;
    CameraId camera = 0;
    bool hasAlarmCallback = false;
    bool hasStructDataCallback = false;
    bool subscribed = false;
    uint32_t subscriptionId = 0;
};

// ---- Set-up ----

// Forgets every camera, session, failure and recorded call (joining the delivery threads);
// OSTREL_Init succeeds again.
OSTREL_CONTROL_API void reset();

// Makes the next `count` calls of OSTREL_Init return 0 (and set kErrorInitFailed).
OSTREL_CONTROL_API void failInit(int count);

// How many times OSTREL_Init has been called since the last reset.
OSTREL_CONTROL_API int initCallCount();

// Adds a camera and starts its delivery thread.
OSTREL_CONTROL_API CameraId addCamera(const CameraConfig& config);

// Removes a camera: drops its queued deliveries and joins its delivery thread. Its
// sessions stay open but every call on them except OSTREL_Logout fails.
OSTREL_CONTROL_API void removeCamera(CameraId camera);

// Replaces (or adds) one channel of a camera.
OSTREL_CONTROL_API void setChannel(CameraId camera, int32_t channel, const ChannelConfig& config);

// The channel as the camera holds it now (rules and switches written by the plugin included).
// REQUIRES: the camera and channel exist.
OSTREL_CONTROL_API ChannelConfig channelState(CameraId camera, int32_t channel);

// Makes the next `count` calls of `operation` fail with the last error `error`.
OSTREL_CONTROL_API void failOperation(Operation operation, int count,
                                      int32_t error = kErrorInjected);

// ---- Outages ----

// Takes the camera off the network until bringBack(): logins at its address and port fail
// with kErrorNoAnswer, and so does every call on its sessions (OSTREL_Logout too, which
// frees the session all the same, as the maker's SDK frees its local session when the
// camera does not answer); its queued and new deliveries are dropped (and count as
// handled). Such calls still reach the camera as far as its CameraFailure list goes: a
// failure scheduled for one of them fails it with its own error, so that a replay gives
// back the error values of a capture.
OSTREL_CONTROL_API void takeAway(CameraId camera);

// Puts the camera back. With `rebooted`, the sessions opened before are dead, as after a
// restart of the camera: every call on them but OSTREL_Logout fails with
// kErrorInvalidHandle, they get no deliveries, and their logout succeeds and frees them.
// Without it they work again, as after a short network cut.
OSTREL_CONTROL_API void bringBack(CameraId camera, bool rebooted);

// ---- Notifications ----

// Queues an alarm for the camera's delivery thread; returns its delivery ticket.
OSTREL_CONTROL_API uint64_t raiseAlarm(CameraId camera, int32_t alarmType, int64_t timeSeconds);

// Queues a structured batch for the camera's delivery thread; returns its delivery ticket.
OSTREL_CONTROL_API uint64_t deliverStructured(CameraId camera, const StructuredBatch& batch);

// Queues a caller-built alarm record, delivered as given; returns its delivery ticket.
OSTREL_CONTROL_API uint64_t raiseRawAlarm(CameraId camera, const OstrelAlarmRecord& alarm);

// Queues a caller-built structured record, delivered as given (its pointers unchanged).
// REQUIRES: the arrays it points to stay valid until the delivery has been handled.
OSTREL_CONTROL_API uint64_t deliverRawStructured(CameraId camera,
                                                 const OstrelStructuredRecord& record);

// Waits until the delivery `ticket` of the camera has been handled; false on timeout or
// when the camera was removed first.
OSTREL_CONTROL_API bool waitForDelivery(CameraId camera, uint64_t ticket, int timeoutMs = 10000);

// Waits until every delivery queued so far for the camera has been handled.
OSTREL_CONTROL_API bool waitForAllDeliveries(CameraId camera, int timeoutMs = 10000);

// Runs the alarm callbacks of the camera's subscribed sessions on the calling thread.
// May be called from several threads at once.
OSTREL_CONTROL_API void raiseAlarmNow(CameraId camera, int32_t alarmType, int64_t timeSeconds);

// Runs the structured-data callbacks of the camera's subscribed sessions on this thread.
OSTREL_CONTROL_API void deliverStructuredNow(CameraId camera, const StructuredBatch& batch);

// Passes `alarm` (which may be null) unchanged to the alarm callbacks, on this thread.
OSTREL_CONTROL_API void raiseRawAlarmNow(CameraId camera, const OstrelAlarmRecord* alarm);

// Passes `record` (which may be null) unchanged to the structured-data callbacks.
OSTREL_CONTROL_API void deliverRawStructuredNow(CameraId camera,
                                                const OstrelStructuredRecord* record);

// ---- What the plugin sent ----

// Calls of `operation` since the last reset, failed ones included.
OSTREL_CONTROL_API int callCount(Operation operation);

// The login record of the last OSTREL_Login call (zeroed before any).
OSTREL_CONTROL_API OstrelLoginRecord lastLoginRecord();

// The request of the last OSTREL_Subscribe call.
OSTREL_CONTROL_API OstrelSubscriptionRequest lastSubscriptionRequest();

// The id of the last OSTREL_Unsubscribe call.
OSTREL_CONTROL_API uint32_t lastUnsubscribeId();

// The channel argument of the last per-channel call.
OSTREL_CONTROL_API int32_t lastChannel();

// The last line-crossing rule set written (with at most three filters per rule copied
// out of the caller's storage; each record keeps the filter count the caller sent).
OSTREL_CONTROL_API LineRules lastWrittenLineRules();

// The last rule set written of an area kind. REQUIRES: `kind` is not kLineCross.
OSTREL_CONTROL_API AreaRules lastWrittenAreaRules(RuleSetKind kind);

// The last switch list written, as the caller sent it.
OSTREL_CONTROL_API RuleSwitchList lastWrittenSwitches();

// The open sessions, in ascending handle order.
OSTREL_CONTROL_API std::vector<SessionInfo> liveSessions();

// ---- Found at run time ----

// The operations a host needs to run simulated cameras, for a host that finds them at run
// time in whatever Camera SDK library the plugin loaded: the maker's library has no such
// table, so a host that links none of the functions above still starts with it. New
// members go at the end, so that a host finds the older ones where it expects them.
struct ControlTable
{
    void (*reset)();
    CameraId (*addCamera)(const CameraConfig& config);
    uint64_t (*raiseAlarm)(CameraId camera, int32_t alarmType, int64_t timeSeconds);
    uint64_t (*deliverStructured)(CameraId camera, const StructuredBatch& batch);
    bool (*waitForAllDeliveries)(CameraId camera, int timeoutMs);
    void (*takeAway)(CameraId camera);
    void (*bringBack)(CameraId camera, bool rebooted);
};

// The name under which the stand-in exports its ControlTable accessor, ostrelControlTable.
constexpr const char* kControlTableSymbol = "ostrelControlTable";

}  // namespace ostrel::control

extern "C"
{
    // The stand-in's control table; never null.
    OSTREL_CONTROL_API const ostrel::control::ControlTable* ostrelControlTable();
}
