// Fuzzes the structured-data callback: arbitrary codes, counts that fit the arrays (or a
// count with a null array), any speed bits (NaN and infinities included) and plate texts
// without a terminating NUL. The next frame's packet holds at most one object of each of
// the four types, each attribute text non-empty, and nothing leaks.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_agent.h"

using namespace korvane::fuzz;

namespace
{

template <class Record>
std::vector<Record> records(InputReader* input)
{
    std::vector<Record> result(input->take<uint8_t>() % 4);
    for (Record& record : result)
        record = input->template take<Record>();  //< Every byte, codes and texts alike.
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzAgent& agent = fuzzAgent();
    InputReader input(data, size);
    const uint8_t nullArrays = input.take<uint8_t>();
    std::vector<OstrelFaceRecord> faces = records<OstrelFaceRecord>(&input);
    std::vector<OstrelPersonRecord> persons = records<OstrelPersonRecord>(&input);
    std::vector<OstrelVehicleRecord> vehicles = records<OstrelVehicleRecord>(&input);

    // A set bit of `nullArrays` delivers that kind's count with a null array: no records.
    OstrelStructuredRecord batch{};
    batch.faceCount = static_cast<uint32_t>(faces.size());
    batch.faces = nullArrays & 1 ? nullptr : faces.data();
    batch.personCount = static_cast<uint32_t>(persons.size());
    batch.persons = nullArrays & 2 ? nullptr : persons.data();
    batch.vehicleCount = static_cast<uint32_t>(vehicles.size());
    batch.vehicles = nullArrays & 4 ? nullptr : vehicles.data();

    ostrel::control::deliverRawStructuredNow(agent.camera, &batch);
    pushFrame(agent, input.take<int32_t>() & 0x7FFFFFFF);
    const auto packets = agent.handler->takeRecords();
    require(packets.size() == 1);
    std::set<std::string> types;
    for (const auto& object : packets[0].items)
    {
        require(types.insert(object.typeId).second);
        for (const auto& [name, value] : object.attributes)
            require(!name.empty() && !value.empty());
        require(object.boundingBox.width > 0 && object.boundingBox.width <= 0.5F);
    }
    require(types.size() <= 4);
    checkBalanced();
    return 0;
}
