// Fuzzes the alarm callback with arbitrary records: every listed code yields exactly one
// event stamped with the alarm time in microseconds (saturated at the 64-bit limits), every
// other code yields nothing, and no object is leaked.

#include <cstddef>
#include <cstdint>
#include <limits>

#include "plugin/camera/alarm_translation.h"
#include "tests/fuzz/fuzz_agent.h"

using namespace korvane::fuzz;

namespace
{

int64_t expectedTimestamp(int64_t seconds)
{
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    __int128 wide = static_cast<__int128>(seconds) * 1000000;
    if (wide > kMax)
        return kMax;
    if (wide < kMin)
        return kMin;
    return static_cast<int64_t>(wide);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzAgent& agent = fuzzAgent();
    InputReader input(data, size);
    while (!input.empty())
    {
        const auto alarm = input.take<OstrelAlarmRecord>();
        const int before = agent.handler->recordCount();
        ostrel::control::raiseRawAlarmNow(agent.camera, &alarm);
        const auto records = agent.handler->takeRecords();
        const bool listed =
            nx::vms_server_plugins::analytics::sample::findAlarmRow(alarm.alarmType) != nullptr;
        require(agent.handler->recordCount() - before == (listed ? 1 : 0));
        if (listed)
        {
            require(records.size() == 1 && records[0].items.size() == 1);
            require(records[0].timestampUs == expectedTimestamp(alarm.alarmTime));
        }
    }
    checkBalanced();
    return 0;
}
