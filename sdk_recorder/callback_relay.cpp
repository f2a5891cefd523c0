#include "callback_relay.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "sdk_recorder/capture_records.h"
#include "sdk_recorder/record_pool.h"
#include "sdk_recorder/recorder.h"

namespace korvane::sdk_recorder
{

using nx::kit::Json;

namespace
{

// The start of a delivery record.
Json::Object deliveryRecord(int64_t timeUs, int thread, const char* kind, int session,
                            bool afterLogout)
{
    Json::Object record{{"t", Json(static_cast<double>(timeUs))},
                        {"thread", Json(thread)},
                        {"callback", Json(kind)},
                        {"session", Json(session)}};
    if (afterLogout)
        record["afterLogout"] = Json(true);
    return record;
}

// An alarm as delivered; encoded by the writer.
class AlarmDelivery final : public PooledRecord
{
public:
    AlarmDelivery(int64_t timeUs, int session, bool afterLogout, const OstrelAlarmRecord& alarm)
        : m_timeUs(timeUs),
          m_thread(Recorder::threadNumber()),
          m_session(session),
          m_afterLogout(afterLogout),
          m_alarm(alarm)
    {
    }

    Json json() const override
    {
        Json::Object record = deliveryRecord(m_timeUs, m_thread, "alarm", m_session, m_afterLogout);
        record["alarm"] = alarmJson(m_alarm);
        return Json(std::move(record));
    }

private:
    const int64_t m_timeUs;
    const int m_thread;
    const int m_session;
    const bool m_afterLogout;
    const OstrelAlarmRecord m_alarm;
};

// The attribute fields of the detection records start here in all three kinds; what lies
// before is reserved and never read, so only the rest is copied.
constexpr size_t kAttributesOffset = offsetof(OstrelFaceRecord, gender);
static_assert(offsetof(OstrelPersonRecord, gender) == kAttributesOffset);
static_assert(offsetof(OstrelVehicleRecord, vehicleType) == kAttributesOffset);

// A structured batch as delivered, the attribute parts of its records copied into one block,
// as the maker's arrays live only for the call. The block is part of the record unless the
// batch is larger than usual, so that a delivery takes one pooled block and nothing else.
class StructuredDelivery final : public PooledRecord
{
public:
    StructuredDelivery(int64_t timeUs, int session, bool afterLogout,
                       const OstrelStructuredRecord& record)
        : m_timeUs(timeUs),
          m_thread(Recorder::threadNumber()),
          m_session(session),
          m_afterLogout(afterLogout),
          m_faceCount(record.faces ? record.faceCount : 0),
          m_personCount(record.persons ? record.personCount : 0),
          m_vehicleCount(record.vehicles ? record.vehicleCount : 0),
          m_blockSize(tailSize<OstrelFaceRecord>() * m_faceCount +
                      tailSize<OstrelPersonRecord>() * m_personCount +
                      tailSize<OstrelVehicleRecord>() * m_vehicleCount)
    {
        if (m_blockSize > sizeof m_inlineBlock)
            m_largeBlock.resize(m_blockSize);
        uint8_t* cursor = block();
        cursor = copyTails(record.faces, m_faceCount, cursor);
        cursor = copyTails(record.persons, m_personCount, cursor);
        copyTails(record.vehicles, m_vehicleCount, cursor);
    }

    Json json() const override
    {
        const uint8_t* cursor = block();
        const auto faces = restore<OstrelFaceRecord>(m_faceCount, &cursor);
        const auto persons = restore<OstrelPersonRecord>(m_personCount, &cursor);
        const auto vehicles = restore<OstrelVehicleRecord>(m_vehicleCount, &cursor);
        OstrelStructuredRecord record{};
        record.faceCount = m_faceCount;
        record.faces = faces.data();
        record.personCount = m_personCount;
        record.persons = persons.data();
        record.vehicleCount = m_vehicleCount;
        record.vehicles = vehicles.data();
        Json::Object members =
            deliveryRecord(m_timeUs, m_thread, "structured", m_session, m_afterLogout);
        members["record"] = structuredJson(record);
        return Json(std::move(members));
    }

private:
    uint8_t* block() { return m_largeBlock.empty() ? m_inlineBlock : m_largeBlock.data(); }
    const uint8_t* block() const
    {
        return m_largeBlock.empty() ? m_inlineBlock : m_largeBlock.data();
    }

    template <class Record>
    static constexpr size_t tailSize()
    {
        return sizeof(Record) - kAttributesOffset;
    }

    template <class Record>
    static uint8_t* copyTails(const Record* records, uint32_t count, uint8_t* cursor)
    {
        for (uint32_t i = 0; i < count; ++i, cursor += tailSize<Record>())
            std::memcpy(cursor, reinterpret_cast<const uint8_t*>(&records[i]) + kAttributesOffset,
                        tailSize<Record>());
        return cursor;
    }

    template <class Record>
    static std::vector<Record> restore(uint32_t count, const uint8_t** cursor)
    {
        std::vector<Record> records(count);
        for (Record& record : records)
        {
            std::memcpy(reinterpret_cast<uint8_t*>(&record) + kAttributesOffset, *cursor,
                        tailSize<Record>());
            *cursor += tailSize<Record>();
        }
        return records;
    }

    const int64_t m_timeUs;
    const int m_thread;
    const int m_session;
    const bool m_afterLogout;
    const uint32_t m_faceCount;
    const uint32_t m_personCount;
    const uint32_t m_vehicleCount;
    const size_t m_blockSize;
    // Room for one record of each kind, which most batches hold.
    uint8_t m_inlineBlock[1280];
    std::vector<uint8_t> m_largeBlock;  //< Used instead when the batch needs more room.
};

static_assert(sizeof(StructuredDelivery) <= RecordPool::kBlockSize,
              "a usual structured delivery takes one pooled block");

}  // namespace

CallbackRelay& CallbackRelay::instance()
{
    static CallbackRelay* const relay = new CallbackRelay();
    return *relay;
}

void* CallbackRelay::addAlarm(void* handle, int session, OstrelAlarmCallback callback,
                              void* userData)
{
    return add(Entry{handle, session, callback, nullptr, userData});
}

void* CallbackRelay::addStructured(void* handle, int session, OstrelStructDataCallback callback,
                                   void* userData)
{
    return add(Entry{handle, session, nullptr, callback, userData});
}

void* CallbackRelay::add(const Entry& entry)
{
    port::MutexLock lock(&m_mutex);
    const uintptr_t key = ++m_lastKey;
    m_entries[key] = entry;
    return reinterpret_cast<void*>(key);
}

void CallbackRelay::remove(void* key)
{
    port::MutexLock lock(&m_mutex);
    m_entries.erase(reinterpret_cast<uintptr_t>(key));
}

void CallbackRelay::removeSession(void* handle)
{
    port::MutexLock lock(&m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end();)
        it = it->second.handle == handle ? m_entries.erase(it) : std::next(it);
}

bool CallbackRelay::find(void* key, Entry* entry)
{
    port::MutexLock lock(&m_mutex);
    const auto it = m_entries.find(reinterpret_cast<uintptr_t>(key));
    if (it == m_entries.end())
        return false;
    *entry = it->second;
    return true;
}

void CallbackRelay::alarmRelay(void* handle, const OstrelAlarmRecord* alarm, void* key)
{
    try
    {
        Recorder& recorder = Recorder::instance();
        const int64_t timeUs = recorder.nowUs();
        Entry entry;
        const bool known = instance().find(key, &entry);
        if (known && entry.alarm)
            entry.alarm(handle, alarm, entry.userData);
        if (alarm && recorder.recording())
            recorder.submit(std::make_unique<AlarmDelivery>(timeUs, entry.session, !known, *alarm));
    }
    catch (...)
    {
        // Nothing crosses into the maker's thread; the delivery goes unrecorded.
    }
}

void CallbackRelay::structuredRelay(void* handle, void* reserved,
                                    const OstrelStructuredRecord* record, void* key)
{
    try
    {
        Recorder& recorder = Recorder::instance();
        const int64_t timeUs = recorder.nowUs();
        Entry entry;
        const bool known = instance().find(key, &entry);
        if (known && entry.structured)
            entry.structured(handle, reserved, record, entry.userData);
        if (record && recorder.recording())
        {
            recorder.submit(
                std::make_unique<StructuredDelivery>(timeUs, entry.session, !known, *record));
        }
    }
    catch (...)
    {
        // Nothing crosses into the maker's thread; the delivery goes unrecorded.
    }
}

}  // namespace korvane::sdk_recorder
