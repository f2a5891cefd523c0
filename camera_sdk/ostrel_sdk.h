// The Camera SDK (library OstrelSDK) as the plugin sees it: plain C operations and the
// fixed-layout records they exchange.
//
// The plugin links the library by name on Linux and by ordinal on Windows (OstrelSDK.def),
// so the camera maker's library or a stand-in can replace it at load time. Records are
// little-endian with fixed sizes and field offsets (checked below); every record and buffer passed
// to the SDK is owned, and zero-filled, by the caller. Handles are opaque; calls return 0 (or a
// null handle) on failure, after which OSTREL_GetLastError tells why.
//
// Thread-safety: every operation may be called from any thread at any time. The SDK calls
// the alarm and structured-data callbacks on threads of its own, from their installation
// until OSTREL_Logout of the session returns.

#pragma once

#include <cstddef>
#include <cstdint>

// On Windows the library's exports are given by OstrelSDK.def, by ordinal.
#if defined(_WIN32) && defined(OSTREL_SDK_IMPLEMENTATION)
#define OSTREL_API
#elif defined(_WIN32)
#define OSTREL_API __declspec(dllimport)
#else
#define OSTREL_API __attribute__((visibility("default")))
#endif

static_assert(sizeof(void*) == 8, "the Camera SDK records are laid out for 64-bit builds");

// Capacities and fixed values of the Camera SDK's calls and records.
constexpr int32_t kOstrelAddressSize = 260;
constexpr int32_t kOstrelLoginNameSize = 132;
constexpr int32_t kOstrelPasswordSize = 128;
constexpr int32_t kOstrelChannelCapacity = 256;        // channel records per list call
constexpr int32_t kOstrelConfigSmartCapabilities = 3;  // GetDeviceConfig command
constexpr int32_t kOstrelConfigBufferSize = 1212;      // its configuration block
constexpr int32_t kOstrelIntrusionCapabilityOffset = 352;
constexpr int32_t kOstrelLineCrossCapabilityOffset = 404;
constexpr int32_t kOstrelEnterAreaCapabilityOffset = 736;
constexpr int32_t kOstrelLeaveAreaCapabilityOffset = 760;
constexpr int32_t kOstrelSubscribeAllAlarms = -1;          // subscription request, first value
constexpr int32_t kOstrelSubscribeAllStructured = 0xFFFF;  // subscription request, second
constexpr int32_t kOstrelPlateTextSize = 64;
constexpr int32_t kOstrelRuleSlots = 4;                 // rule records per rule set
constexpr int32_t kOstrelFilterCapacity = 3;            // object filters per rule
constexpr int32_t kOstrelAreaPointCapacity = 6;         // polygon corners per area rule
constexpr int32_t kOstrelSwitchListCapacity = 512;      // type codes per switch list
constexpr int32_t kOstrelCombinationCapacity = 32;      // groups per combination list
constexpr int32_t kOstrelCombinationTypeCapacity = 32;  // type codes per group

// Smart rule type codes, as used in the switch and combination lists.
constexpr int32_t kOstrelRuleTypeLineCross = 100;
constexpr int32_t kOstrelRuleTypeIntrusion = 101;
constexpr int32_t kOstrelRuleTypeEnterArea = 102;
constexpr int32_t kOstrelRuleTypeLeaveArea = 103;

// Object filter types.
constexpr int32_t kOstrelFilterMotorVehicle = 0;
constexpr int32_t kOstrelFilterNonMotorVehicle = 1;
constexpr int32_t kOstrelFilterPerson = 2;

// ---- Session records ----

// Login request: camera address, port and credentials, NUL-terminated texts.
struct OstrelLoginRecord
{
    char address[kOstrelAddressSize];
    int32_t port;
    char loginName[kOstrelLoginNameSize];
    char password[kOstrelPasswordSize];
    int32_t loginMode;  // always 0
    uint8_t reserved[260];
};

// Login result, filled by the SDK.
struct OstrelLoginResult
{
    char serialNumber[48];
    int32_t channelCount;
    int32_t startChannel;
    uint8_t reserved[16];
};

// One entry of the channel list.
struct OstrelChannelRecord
{
    int32_t channel;
    char name[64];
    int32_t online;
    uint8_t reserved[12];
};

// Subscription request: which alarms and structured-record kinds to deliver.
struct OstrelSubscriptionRequest
{
    int32_t alarmTypes;       // kOstrelSubscribeAllAlarms for all
    int32_t structuredTypes;  // kOstrelSubscribeAllStructured for all
    uint8_t reserved[260];
};

// Subscription result; the id is given back to OSTREL_Unsubscribe.
struct OstrelSubscriptionResult
{
    uint32_t subscriptionId;
    uint8_t reserved[396];
};

// ---- Notification records ----

// One camera alarm.
struct OstrelAlarmRecord
{
    int32_t channel;
    uint8_t reserved0[4];
    int32_t alarmType;  // alarm type code
    uint8_t reserved1[12];
    int64_t alarmTime;  // camera time, seconds
    uint8_t reserved2[32];
};

// One detected face; attribute codes at fixed offsets.
struct OstrelFaceRecord
{
    uint8_t reserved0[1168];
    int32_t gender;
    int32_t age;
    int32_t glassFlag;
    int32_t glassesStyle;
    int32_t maskFlag;
    uint8_t reserved1[4];
    int32_t emotion;
    int32_t smile;
    uint8_t reserved2[4];
    int32_t skinColor;
    int32_t beard;
    int32_t hatStyle;
    int32_t hatColor;
    uint8_t reserved3[244];
};

// One detected person.
struct OstrelPersonRecord
{
    uint8_t reserved0[1168];
    int32_t gender;
    int32_t age;
    int32_t sleevesLength;
    int32_t topClothingColor;
    int32_t trousersLength;
    int32_t bottomClothingColor;
    int32_t bodyToward;
    int32_t shoesTubeLength;
    int32_t hairLength;
    int32_t bagFlag;
    uint8_t reserved1[4];
    int32_t mask;
    int32_t coatTexture;
    int32_t movingDirection;
    uint8_t reserved2[256];
};

// One detected vehicle with its licence plate.
struct OstrelVehicleRecord
{
    uint8_t reserved0[1168];
    int32_t vehicleType;
    int32_t vehicleColor;
    int32_t speedUnit;  // 1: miles per hour
    float speed;
    uint8_t reserved1[200];
    char plateNumber[kOstrelPlateTextSize];  // NUL-terminated when shorter than the field
    int32_t plateColor;
    int32_t plateType;
    uint8_t reserved2[264];
};

// One batch of structured detection records; the arrays belong to the SDK and live for
// the duration of the callback.
struct OstrelStructuredRecord
{
    uint32_t faceCount;
    uint8_t padding0[4];
    const OstrelFaceRecord* faces;
    uint32_t personCount;
    uint8_t padding1[4];
    const OstrelPersonRecord* persons;
    uint8_t reserved0[16];
    uint32_t vehicleCount;
    uint8_t padding2[4];
    const OstrelVehicleRecord* vehicles;
    uint8_t reserved1[64];
};

// ---- Smart rule records ----

// A figure point in camera units (10000 to the full image width or height).
struct RulePoint
{
    uint32_t x;
    uint32_t y;
    uint8_t reserved[32];
};

// An object filter of a rule; the parameter blocks are opaque to the plugin.
struct ObjectFilter
{
    int32_t enabled;
    int32_t objectType;  // kOstrelFilterMotorVehicle, ...NonMotorVehicle, ...Person
    uint8_t firstParameters[8];
    uint8_t secondParameters[8];
    uint8_t reserved[256];
};

// A line-crossing rule.
struct LineRule
{
    int32_t ruleIndex;
    int32_t enabled;
    uint32_t sensitivity;
    int32_t direction;  // 0 absent, 1 left, 2 right
    RulePoint startPoint;
    RulePoint endPoint;
    int32_t priority;     // 0 high, 1 mid, 2 low
    int32_t filterCount;  // in: capacity of `filters`; out: number filled
    ObjectFilter* filters;
    uint8_t reserved[256];
};

// The line-crossing rules of a channel.
struct LineRuleSet
{
    int32_t ruleCount;
    uint8_t padding[4];
    LineRule rules[kOstrelRuleSlots];
    uint8_t reserved[256];
};

// An intrusion, enter-area or leave-area rule.
struct AreaRule
{
    int32_t ruleIndex;
    int32_t enabled;
    uint32_t sensitivity;
    uint8_t reserved0[4];
    uint32_t timeThreshold;  // seconds; intrusion only
    int32_t pointCount;
    RulePoint points[kOstrelAreaPointCapacity];
    int32_t priority;     // 0 high, 1 mid, 2 low
    int32_t filterCount;  // in: capacity of `filters`; out: number filled
    ObjectFilter* filters;
    uint8_t reserved1[256];
};

// The rules of one area kind of a channel.
struct AreaRuleSet
{
    int32_t ruleCount;
    uint8_t padding[4];
    AreaRule rules[kOstrelRuleSlots];
    uint8_t reserved[256];
};

// The switched-on and switched-off smart rule types of a channel.
struct RuleSwitchList
{
    int32_t enabledCount;
    int32_t enabledTypes[kOstrelSwitchListCapacity];
    int32_t disabledCount;
    int32_t disabledTypes[kOstrelSwitchListCapacity];
    uint8_t reserved[256];
};

// A group of rule types that can run at the same time.
struct RuleCombination
{
    int32_t typeCount;  // in: capacity of `types`; out: number filled
    uint8_t padding[4];
    int32_t* types;
    uint8_t reserved[256];
};

// The groups of rule types that a channel can run together.
struct RuleCombinationList
{
    int32_t groupCount;  // in: capacity of `groups`; out: number filled
    uint8_t padding[4];
    RuleCombination* groups;
    uint8_t reserved[256];
};

// ---- Layout checks ----

static_assert(sizeof(OstrelLoginRecord) == 788);
static_assert(offsetof(OstrelLoginRecord, port) == 260);
static_assert(offsetof(OstrelLoginRecord, loginName) == 264);
static_assert(offsetof(OstrelLoginRecord, password) == 396);
static_assert(offsetof(OstrelLoginRecord, loginMode) == 524);
static_assert(offsetof(OstrelLoginRecord, reserved) == 528);
static_assert(sizeof(OstrelLoginResult) == 72);
static_assert(sizeof(OstrelChannelRecord) == 84);
static_assert(sizeof(OstrelSubscriptionRequest) == 268);
static_assert(offsetof(OstrelSubscriptionRequest, structuredTypes) == 4);
static_assert(sizeof(OstrelSubscriptionResult) == 400);
static_assert(offsetof(OstrelSubscriptionResult, subscriptionId) == 0);

static_assert(sizeof(OstrelAlarmRecord) == 64);
static_assert(offsetof(OstrelAlarmRecord, alarmType) == 8);
static_assert(offsetof(OstrelAlarmRecord, alarmTime) == 24);

static_assert(sizeof(OstrelStructuredRecord) == 128);
static_assert(offsetof(OstrelStructuredRecord, faceCount) == 0);
static_assert(offsetof(OstrelStructuredRecord, faces) == 8);
static_assert(offsetof(OstrelStructuredRecord, personCount) == 16);
static_assert(offsetof(OstrelStructuredRecord, persons) == 24);
static_assert(offsetof(OstrelStructuredRecord, vehicleCount) == 48);
static_assert(offsetof(OstrelStructuredRecord, vehicles) == 56);

static_assert(sizeof(OstrelFaceRecord) == 1464);
static_assert(offsetof(OstrelFaceRecord, gender) == 1168);
static_assert(offsetof(OstrelFaceRecord, age) == 1172);
static_assert(offsetof(OstrelFaceRecord, glassFlag) == 1176);
static_assert(offsetof(OstrelFaceRecord, glassesStyle) == 1180);
static_assert(offsetof(OstrelFaceRecord, maskFlag) == 1184);
static_assert(offsetof(OstrelFaceRecord, emotion) == 1192);
static_assert(offsetof(OstrelFaceRecord, smile) == 1196);
static_assert(offsetof(OstrelFaceRecord, skinColor) == 1204);
static_assert(offsetof(OstrelFaceRecord, beard) == 1208);
static_assert(offsetof(OstrelFaceRecord, hatStyle) == 1212);
static_assert(offsetof(OstrelFaceRecord, hatColor) == 1216);

static_assert(sizeof(OstrelPersonRecord) == 1480);
static_assert(offsetof(OstrelPersonRecord, gender) == 1168);
static_assert(offsetof(OstrelPersonRecord, age) == 1172);
static_assert(offsetof(OstrelPersonRecord, sleevesLength) == 1176);
static_assert(offsetof(OstrelPersonRecord, topClothingColor) == 1180);
static_assert(offsetof(OstrelPersonRecord, trousersLength) == 1184);
static_assert(offsetof(OstrelPersonRecord, bottomClothingColor) == 1188);
static_assert(offsetof(OstrelPersonRecord, bodyToward) == 1192);
static_assert(offsetof(OstrelPersonRecord, shoesTubeLength) == 1196);
static_assert(offsetof(OstrelPersonRecord, hairLength) == 1200);
static_assert(offsetof(OstrelPersonRecord, bagFlag) == 1204);
static_assert(offsetof(OstrelPersonRecord, mask) == 1212);
static_assert(offsetof(OstrelPersonRecord, coatTexture) == 1216);
static_assert(offsetof(OstrelPersonRecord, movingDirection) == 1220);

static_assert(sizeof(OstrelVehicleRecord) == 1720);
static_assert(offsetof(OstrelVehicleRecord, vehicleType) == 1168);
static_assert(offsetof(OstrelVehicleRecord, vehicleColor) == 1172);
static_assert(offsetof(OstrelVehicleRecord, speedUnit) == 1176);
static_assert(offsetof(OstrelVehicleRecord, speed) == 1180);
static_assert(sizeof(float) == 4);
static_assert(offsetof(OstrelVehicleRecord, plateNumber) == 1384);
static_assert(offsetof(OstrelVehicleRecord, plateColor) == 1448);
static_assert(offsetof(OstrelVehicleRecord, plateType) == 1452);

static_assert(sizeof(RulePoint) == 40);
static_assert(sizeof(ObjectFilter) == 280);
static_assert(offsetof(ObjectFilter, objectType) == 4);
static_assert(offsetof(ObjectFilter, firstParameters) == 8);
static_assert(offsetof(ObjectFilter, secondParameters) == 16);
static_assert(offsetof(ObjectFilter, reserved) == 24);

static_assert(sizeof(LineRule) == 368);
static_assert(offsetof(LineRule, enabled) == 4);
static_assert(offsetof(LineRule, sensitivity) == 8);
static_assert(offsetof(LineRule, direction) == 12);
static_assert(offsetof(LineRule, startPoint) == 16);
static_assert(offsetof(LineRule, endPoint) == 56);
static_assert(offsetof(LineRule, priority) == 96);
static_assert(offsetof(LineRule, filterCount) == 100);
static_assert(offsetof(LineRule, filters) == 104);
static_assert(offsetof(LineRule, reserved) == 112);
static_assert(sizeof(LineRuleSet) == 1736);
static_assert(offsetof(LineRuleSet, rules) == 8);
static_assert(offsetof(LineRuleSet, reserved) == 1480);

static_assert(sizeof(AreaRule) == 536);
static_assert(offsetof(AreaRule, sensitivity) == 8);
static_assert(offsetof(AreaRule, timeThreshold) == 16);
static_assert(offsetof(AreaRule, pointCount) == 20);
static_assert(offsetof(AreaRule, points) == 24);
static_assert(offsetof(AreaRule, priority) == 264);
static_assert(offsetof(AreaRule, filterCount) == 268);
static_assert(offsetof(AreaRule, filters) == 272);
static_assert(offsetof(AreaRule, reserved1) == 280);
static_assert(sizeof(AreaRuleSet) == 2408);
static_assert(offsetof(AreaRuleSet, rules) == 8);
static_assert(offsetof(AreaRuleSet, reserved) == 2152);

static_assert(sizeof(RuleSwitchList) == 4360);
static_assert(offsetof(RuleSwitchList, enabledTypes) == 4);
static_assert(offsetof(RuleSwitchList, disabledCount) == 2052);
static_assert(offsetof(RuleSwitchList, disabledTypes) == 2056);
static_assert(offsetof(RuleSwitchList, reserved) == 4104);
static_assert(sizeof(RuleCombination) == 272);
static_assert(offsetof(RuleCombination, types) == 8);
static_assert(sizeof(RuleCombinationList) == 272);
static_assert(offsetof(RuleCombinationList, groups) == 8);

// ---- Callbacks ----

// Called once per alarm of a subscribed session, on an SDK thread.
typedef void (*OstrelAlarmCallback)(void* handle, const OstrelAlarmRecord* alarm, void* userData);

// Called once per structured batch of a subscribed session, on an SDK thread.
typedef void (*OstrelStructDataCallback)(void* handle, void* reserved,
                                         const OstrelStructuredRecord* record, void* userData);

// ---- Operations ----

extern "C"
{
    // Initialises the SDK; nonzero on success. Called once per process before any other call.
    OSTREL_API int32_t OSTREL_Init(void);

    // The code of the last failure of the calling context.
    OSTREL_API int32_t OSTREL_GetLastError(void);

    // Opens a session with a camera; the session handle, or null on failure.
    OSTREL_API void* OSTREL_Login(OstrelLoginRecord* login, OstrelLoginResult* result);

    // Closes a session; when it returns, none of the session's callbacks runs or starts.
    OSTREL_API int32_t OSTREL_Logout(void* handle);

    // Fills up to *count channel records and sets *count to the number of channels filled.
    OSTREL_API int32_t OSTREL_QueryChannelList(void* handle, int32_t* count,
                                               OstrelChannelRecord* channels);

    // Reads configuration block `command` of a channel into `buffer`.
    OSTREL_API int32_t OSTREL_GetDeviceConfig(void* handle, int32_t channel, int32_t command,
                                              void* buffer, int32_t bufferSize,
                                              int32_t* bytesReturned);

    // Installs (or, with null, removes) the session's alarm callback.
    OSTREL_API int32_t OSTREL_SetAlarmCallback(void* handle, OstrelAlarmCallback callback,
                                               void* userData);

    // Installs (or, with null, removes) the session's structured-data callback.
    OSTREL_API int32_t OSTREL_SetStructDataCallback(void* handle, OstrelStructDataCallback callback,
                                                    void* userData);

    // Starts alarm and structured-data delivery for the session; the id goes to `result`.
    OSTREL_API int32_t OSTREL_Subscribe(void* handle, const OstrelSubscriptionRequest* request,
                                        OstrelSubscriptionResult* result);

    // Stops the delivery started by the subscription `id`.
    OSTREL_API int32_t OSTREL_Unsubscribe(void* handle, uint32_t id);

    // Reads the channel's line-crossing rules into `rules` (filters into the caller's lists).
    OSTREL_API int32_t OSTREL_GetLineCrossRules(void* handle, int32_t channel, LineRuleSet* rules);

    // Writes the channel's line-crossing rules.
    OSTREL_API int32_t OSTREL_SetLineCrossRules(void* handle, int32_t channel, LineRuleSet* rules);

    // Reads the channel's intrusion rules.
    OSTREL_API int32_t OSTREL_GetIntrusionRules(void* handle, int32_t channel, AreaRuleSet* rules);

    // Writes the channel's intrusion rules.
    OSTREL_API int32_t OSTREL_SetIntrusionRules(void* handle, int32_t channel, AreaRuleSet* rules);

    // Reads the channel's enter-area rules.
    OSTREL_API int32_t OSTREL_GetEnterAreaRules(void* handle, int32_t channel, AreaRuleSet* rules);

    // Writes the channel's enter-area rules.
    OSTREL_API int32_t OSTREL_SetEnterAreaRules(void* handle, int32_t channel, AreaRuleSet* rules);

    // Reads the channel's leave-area rules.
    OSTREL_API int32_t OSTREL_GetLeaveAreaRules(void* handle, int32_t channel, AreaRuleSet* rules);

    // Writes the channel's leave-area rules.
    OSTREL_API int32_t OSTREL_SetLeaveAreaRules(void* handle, int32_t channel, AreaRuleSet* rules);

    // Reads the channel's switched-on and switched-off rule types; 1 on success.
    OSTREL_API int32_t OSTREL_GetSmartRuleSwitches(void* handle, int32_t channel,
                                                   RuleSwitchList* switches);

    // Writes the channel's switched-on and switched-off rule types; 1 on success.
    OSTREL_API int32_t OSTREL_SetSmartRuleSwitches(void* handle, int32_t channel,
                                                   RuleSwitchList* switches);

    // Reads the groups of rule types the channel can run together; 1 on success.
    OSTREL_API int32_t OSTREL_GetSmartRuleCombinations(void* handle, int32_t channel,
                                                       RuleCombinationList* combinations);

}  // extern "C"
