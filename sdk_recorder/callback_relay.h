// CallbackRelay: stands between the maker's library and the caller's alarm and
// structured-data callbacks. The maker is given the relay's own functions with a key as user
// data; a delivery is passed on to the caller's callback first, then recorded without
// waiting for the file. Keys of a session are let go when its logout returns: a delivery
// that arrives later with such a key is recorded but not passed on, as the caller's user
// data may be gone by then.
//
// Thread-safety: every operation may be called from any thread, deliveries from many at once.

#pragma once

#include <cstdint>
#include <unordered_map>

#include "camera_sdk/ostrel_sdk.h"
#include "port/mutex.h"
#include "port/thread_annotations.h"

namespace korvane::sdk_recorder
{

class CallbackRelay
{
public:
    // The process's relay.
    static CallbackRelay& instance();

    // Registers the caller's alarm callback of a session; the user data to give the maker
    // with alarmRelay().
    void* addAlarm(void* handle, int session, OstrelAlarmCallback callback, void* userData);

    // Registers the caller's structured-data callback, likewise, with structuredRelay().
    void* addStructured(void* handle, int session, OstrelStructDataCallback callback,
                        void* userData);

    // Lets go of one key, when the maker refused the installation.
    void remove(void* key);

    // Lets go of every key of the session `handle`, once its logout has returned.
    void removeSession(void* handle);

    // The functions the maker calls.
    static void alarmRelay(void* handle, const OstrelAlarmRecord* alarm, void* key);
    static void structuredRelay(void* handle, void* reserved, const OstrelStructuredRecord* record,
                                void* key);

private:
    struct Entry
    {
        void* handle = nullptr;
        int session = 0;
        OstrelAlarmCallback alarm = nullptr;
        OstrelStructDataCallback structured = nullptr;
        void* userData = nullptr;
    };

    CallbackRelay() = default;
    void* add(const Entry& entry);
    // The entry of `key`; false when it has been let go.
    bool find(void* key, Entry* entry);

    port::Mutex m_mutex;
    std::unordered_map<uintptr_t, Entry> m_entries GUARDED_BY(m_mutex);
    uintptr_t m_lastKey GUARDED_BY(m_mutex) = 0;
};

}  // namespace korvane::sdk_recorder
