// The alarm table: the camera's alarm type codes that the plugin turns into analytics
// events, with each event's type, caption and description. Built alone as
// korvane_alarm_vocabulary, so that the command-line host can tell the codes the plugin
// knows without linking the plugin.
//
// The table is a constant. Thread-safe.

#pragma once

#include <cstdint>

namespace nx::vms_server_plugins::analytics::sample
{

// One row of the alarm table.
struct AlarmRow
{
    int32_t code;
    const char* typeId;  //< Also the event name.
    const char* caption;
    const char* description;
    bool ends;  //< The alarm reports the end of a condition: the event is sent as inactive.
};

// The row of alarm type `code`, or null for a code the table does not list.
const AlarmRow* findAlarmRow(int32_t code);

}  // namespace nx::vms_server_plugins::analytics::sample
