// Control interface of the Camera SDK stand-in: forwards to the process's Simulator and
// turns code descriptions into the SDK's notification records.

#include "ostrel_sdk/ostrel_control.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ostrel_sdk/simulator.h"

namespace ostrel::control
{

namespace
{

Simulator& sim()
{
    return Simulator::instance();
}

OstrelFaceRecord faceRecord(const FaceCodes& codes)
{
    OstrelFaceRecord r{};
    r.gender = codes.gender;
    r.age = codes.age;
    r.glassFlag = codes.glassFlag;
    r.glassesStyle = codes.glassesStyle;
    r.maskFlag = codes.maskFlag;
    r.emotion = codes.emotion;
    r.smile = codes.smile;
    r.skinColor = codes.skinColor;
    r.beard = codes.beard;
    r.hatStyle = codes.hatStyle;
    r.hatColor = codes.hatColor;
    return r;
}

OstrelPersonRecord personRecord(const PersonCodes& codes)
{
    OstrelPersonRecord r{};
    r.gender = codes.gender;
    r.age = codes.age;
    r.sleevesLength = codes.sleevesLength;
    r.topClothingColor = codes.topClothingColor;
    r.trousersLength = codes.trousersLength;
    r.bottomClothingColor = codes.bottomClothingColor;
    r.bodyToward = codes.bodyToward;
    r.shoesTubeLength = codes.shoesTubeLength;
    r.hairLength = codes.hairLength;
    r.bagFlag = codes.bagFlag;
    r.mask = codes.mask;
    r.coatTexture = codes.coatTexture;
    r.movingDirection = codes.movingDirection;
    return r;
}

OstrelVehicleRecord vehicleRecord(const VehicleCodes& codes)
{
    OstrelVehicleRecord r{};
    r.vehicleType = codes.vehicleType;
    r.vehicleColor = codes.vehicleColor;
    r.speedUnit = codes.speedUnit;
    r.speed = codes.speed;
    const size_t n =
        std::min(codes.plateNumber.size(), static_cast<size_t>(kOstrelPlateTextSize - 1));
    std::memcpy(r.plateNumber, codes.plateNumber.data(), n);  // the rest stays NUL
    r.plateColor = codes.plateColor;
    r.plateType = codes.plateType;
    return r;
}

template <typename T>
const T* dataOrNull(const std::vector<T>& records)
{
    return records.empty() ? nullptr : records.data();
}

std::unique_ptr<Delivery> alarmDelivery(const OstrelAlarmRecord& alarm)
{
    auto delivery = std::make_unique<Delivery>();
    delivery->alarmRecord = alarm;
    delivery->alarm = &delivery->alarmRecord;
    return delivery;
}

std::unique_ptr<Delivery> alarmDelivery(int32_t alarmType, int64_t timeSeconds)
{
    OstrelAlarmRecord alarm{};
    alarm.alarmType = alarmType;
    alarm.alarmTime = timeSeconds;
    return alarmDelivery(alarm);
}

std::unique_ptr<Delivery> structuredDelivery(const StructuredBatch& batch)
{
    auto delivery = std::make_unique<Delivery>();
    delivery->isAlarm = false;
    for (const FaceCodes& face : batch.faces)
        delivery->faces.push_back(faceRecord(face));
    for (const PersonCodes& person : batch.persons)
        delivery->persons.push_back(personRecord(person));
    for (const VehicleCodes& vehicle : batch.vehicles)
        delivery->vehicles.push_back(vehicleRecord(vehicle));
    OstrelStructuredRecord& record = delivery->structuredRecord;
    record.faceCount = static_cast<uint32_t>(delivery->faces.size());
    record.faces = dataOrNull(delivery->faces);
    record.personCount = static_cast<uint32_t>(delivery->persons.size());
    record.persons = dataOrNull(delivery->persons);
    record.vehicleCount = static_cast<uint32_t>(delivery->vehicles.size());
    record.vehicles = dataOrNull(delivery->vehicles);
    delivery->structured = &record;
    return delivery;
}

std::unique_ptr<Delivery> structuredDelivery(const OstrelStructuredRecord& record)
{
    auto delivery = std::make_unique<Delivery>();
    delivery->isAlarm = false;
    delivery->structuredRecord = record;
    delivery->structured = &delivery->structuredRecord;
    return delivery;
}

}  // namespace

void reset()
{
    sim().reset();
}

void failInit(int count)
{
    sim().failOperation(Operation::kInit, count, kErrorInitFailed);
}

int initCallCount()
{
    return sim().callCount(Operation::kInit);
}

CameraId addCamera(const CameraConfig& config)
{
    return sim().addCamera(config);
}

void removeCamera(CameraId camera)
{
    sim().removeCamera(camera);
}

void setChannel(CameraId camera, int32_t channel, const ChannelConfig& config)
{
    sim().setChannel(camera, channel, config);
}

ChannelConfig channelState(CameraId camera, int32_t channel)
{
    return sim().channelState(camera, channel);
}

void failOperation(Operation operation, int count, int32_t error)
{
    sim().failOperation(operation, count, error);
}

void takeAway(CameraId camera)
{
    sim().takeAway(camera);
}

void bringBack(CameraId camera, bool rebooted)
{
    sim().bringBack(camera, rebooted);
}

uint64_t raiseAlarm(CameraId camera, int32_t alarmType, int64_t timeSeconds)
{
    return sim().enqueue(camera, alarmDelivery(alarmType, timeSeconds));
}

uint64_t deliverStructured(CameraId camera, const StructuredBatch& batch)
{
    return sim().enqueue(camera, structuredDelivery(batch));
}

uint64_t raiseRawAlarm(CameraId camera, const OstrelAlarmRecord& alarm)
{
    return sim().enqueue(camera, alarmDelivery(alarm));
}

uint64_t deliverRawStructured(CameraId camera, const OstrelStructuredRecord& record)
{
    return sim().enqueue(camera, structuredDelivery(record));
}

bool waitForDelivery(CameraId camera, uint64_t ticket, int timeoutMs)
{
    return sim().waitForDelivery(camera, ticket, timeoutMs);
}

bool waitForAllDeliveries(CameraId camera, int timeoutMs)
{
    return sim().waitForAllDeliveries(camera, timeoutMs);
}

void raiseAlarmNow(CameraId camera, int32_t alarmType, int64_t timeSeconds)
{
    sim().deliverNow(camera, *alarmDelivery(alarmType, timeSeconds));
}

void deliverStructuredNow(CameraId camera, const StructuredBatch& batch)
{
    sim().deliverNow(camera, *structuredDelivery(batch));
}

void raiseRawAlarmNow(CameraId camera, const OstrelAlarmRecord* alarm)
{
    Delivery delivery;
    delivery.alarm = alarm;
    sim().deliverNow(camera, delivery);
}

void deliverRawStructuredNow(CameraId camera, const OstrelStructuredRecord* record)
{
    Delivery delivery;
    delivery.isAlarm = false;
    delivery.structured = record;
    sim().deliverNow(camera, delivery);
}

int callCount(Operation operation)
{
    return sim().callCount(operation);
}

OstrelLoginRecord lastLoginRecord()
{
    return sim().lastLoginRecord();
}

OstrelSubscriptionRequest lastSubscriptionRequest()
{
    return sim().lastSubscriptionRequest();
}

uint32_t lastUnsubscribeId()
{
    return sim().lastUnsubscribeId();
}

int32_t lastChannel()
{
    return sim().lastChannel();
}

LineRules lastWrittenLineRules()
{
    return sim().lastWrittenLineRules();
}

AreaRules lastWrittenAreaRules(RuleSetKind kind)
{
    return sim().lastWrittenAreaRules(kind);
}

RuleSwitchList lastWrittenSwitches()
{
    return sim().lastWrittenSwitches();
}

std::vector<SessionInfo> liveSessions()
{
    return sim().liveSessions();
}

}  // namespace ostrel::control

const ostrel::control::ControlTable* ostrelControlTable()
{
    static const ostrel::control::ControlTable kTable = {
        &ostrel::control::reset,
        &ostrel::control::addCamera,
        &ostrel::control::raiseAlarm,
        &ostrel::control::deliverStructured,
        &ostrel::control::waitForAllDeliveries,
        &ostrel::control::takeAway,
        &ostrel::control::bringBack,
    };
    return &kTable;
}
