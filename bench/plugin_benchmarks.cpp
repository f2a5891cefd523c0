// korvane_bench: the cost of the plugin's hot paths, in nanoseconds per operation, with
// baselines (one diagnostic line, one addRef/releaseRef pair, the Camera SDK stand-in's own
// delivery cost) in the same run so that ratios can be read. After the run it prints how
// an alarm and a structured batch scale from 1 to 1024 agents in the process, the whole
// path, the stand-in's share and the plugin's share apart, and what the recording Camera SDK
// adds to both (recorder_comparison.h).
//
// The plugin's diagnostic lines go to /dev/null for the whole run; Google Benchmark's
// context lines are sent to standard output instead.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <nx/kit/debug.h>
#include <nx/sdk/i_string.h>

#include "bench/bench_host.h"
#include "bench/recorder_comparison.h"
#include "host/data_packets.h"
#include "host/string_maps.h"

namespace korvane::bench
{
namespace
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;
namespace control = ostrel::control;

constexpr int64_t kFrameIntervalUs = 33333;
constexpr int32_t kMotionAlarm = 1;

// Camera indexes of the set-ups below.
constexpr int kTargetCamera = 1;
constexpr int kCrowdCamera = 2;
constexpr int kSilentCamera = 3;

// ---- Set-ups ----

OstrelAlarmRecord motionAlarm()
{
    OstrelAlarmRecord alarm;
    std::memset(&alarm, 0, sizeof(alarm));
    alarm.alarmType = kMotionAlarm;
    alarm.alarmTime = 1700000000;
    return alarm;
}

// A host with one agent on the target camera, sent the object settings once.
struct OneAgent
{
    explicit OneAgent(const control::ChannelConfig& channel = {})
    {
        if (!host.ok())
            return;
        camera = host.addCamera(kTargetCamera, channel);
        agent = host.obtainAgent(kTargetCamera);
        if (agent.agent)
            setSettings(agent.agent.get(), host::makeStringMap(objectSettings()).get());
    }

    bool ok(benchmark::State& state) const
    {
        if (agent.agent)
            return true;
        state.SkipWithError("no device agent");
        return false;
    }

    BenchHost host;
    control::CameraId camera = 0;
    BenchAgent agent;
};

// ---- Frames ----

void BM_FrameNothingPending(benchmark::State& state)
{
    OneAgent setup;
    if (!setup.ok(state))
        return;
    const auto packet = makePtr<host::CompressedVideoPacket>(kFrameIntervalUs);
    IConsumingDeviceAgent* const agent = setup.agent.agent.get();
    for (auto _ : state)
    {
        Result<void> result;
        agent->doPushDataPacket(&result, packet.get());
        benchmark::DoNotOptimize(result.error.errorCode);
    }
    state.counters["objectPackets"] = static_cast<double>(setup.agent.handler->objectPackets());
}
BENCHMARK(BM_FrameNothingPending);

// Only the frame is timed; the batch that makes it carry objects is delivered untimed.
void BM_FramePendingFacePersonVehicle(benchmark::State& state)
{
    OneAgent setup;
    if (!setup.ok(state))
        return;
    const RawBatch batch;
    const auto packet = makePtr<host::CompressedVideoPacket>(kFrameIntervalUs);
    IConsumingDeviceAgent* const agent = setup.agent.agent.get();
    for (auto _ : state)
    {
        control::deliverRawStructuredNow(setup.camera, batch.record());
        const auto start = std::chrono::steady_clock::now();
        Result<void> result;
        agent->doPushDataPacket(&result, packet.get());
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["objectsPerFrame"] =
        static_cast<double>(setup.agent.handler->objects()) / iterations;
}
BENCHMARK(BM_FramePendingFacePersonVehicle)->UseManualTime();

// ---- Camera SDK callbacks ----

// The agent counts of the scaling figures: the smallest and the largest crowd.
constexpr int kFewAgents = 1;
constexpr int kManyAgents = 1024;

// The scaling benchmarks run three times each and report the fastest repetition as "min",
// which a build running beside them disturbs least.
constexpr int kScalingRepetitions = 3;

double fastest(const std::vector<double>& values)
{
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

void scalingArgs(benchmark::internal::Benchmark* benchmark, bool withMiddle)
{
    benchmark->Arg(kFewAgents);
    if (withMiddle)
        benchmark->Arg(64);
    benchmark->Arg(kManyAgents);
    benchmark->Repetitions(kScalingRepetitions)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("min", fastest);
}

void scalingWithMiddle(benchmark::internal::Benchmark* benchmark)
{
    scalingArgs(benchmark, /*withMiddle*/ true);
}

void scaling(benchmark::internal::Benchmark* benchmark)
{
    scalingArgs(benchmark, /*withMiddle*/ false);
}

// One agent on the target camera and state.range(0) - 1 more on another camera, so that the
// process has state.range(0) agents and sessions and a notification reaches one of them.
struct AgentCrowd
{
    explicit AgentCrowd(int agentCount)
    {
        if (!target.host.ok())
            return;
        crowdCamera = target.host.addCamera(kCrowdCamera, {});
        silentCamera = target.host.addCamera(kSilentCamera, {});
        for (int i = 1; i < agentCount; ++i)
        {
            if (!target.host.obtainAgent(kCrowdCamera).agent)
                return;
        }
        complete = true;
    }

    OneAgent target;
    control::CameraId crowdCamera = 0;
    control::CameraId silentCamera = 0;
    bool complete = false;
};

// Runs `notify` on every iteration over a crowd of state.range(0) agents; false (with the
// benchmark marked as skipped) when the crowd could not be set up.
template <typename Notify>
bool runOnCrowd(benchmark::State& state, AgentCrowd* crowd, const Notify& notify)
{
    if (!crowd->target.ok(state))
        return false;
    if (!crowd->complete)
    {
        state.SkipWithError("not every agent could be created");
        return false;
    }
    for (auto _ : state)
        notify();
    return true;
}

void BM_AlarmToHandler(benchmark::State& state)
{
    AgentCrowd crowd(static_cast<int>(state.range(0)));
    const OstrelAlarmRecord alarm = motionAlarm();
    if (!runOnCrowd(state, &crowd,
                    [&]() { control::raiseRawAlarmNow(crowd.target.camera, &alarm); }))
        return;
    state.counters["eventsPerAlarm"] = static_cast<double>(crowd.target.agent.handler->events()) /
                                       static_cast<double>(state.iterations());
}
BENCHMARK(BM_AlarmToHandler)->Apply(scalingWithMiddle);

// Baseline: the stand-in's own cost of one alarm on a camera without sessions, with the
// same sessions open elsewhere (the stand-in walks its session table too).
void BM_StandInAlarmNoSubscriber(benchmark::State& state)
{
    AgentCrowd crowd(static_cast<int>(state.range(0)));
    const OstrelAlarmRecord alarm = motionAlarm();
    runOnCrowd(state, &crowd, [&]() { control::raiseRawAlarmNow(crowd.silentCamera, &alarm); });
}
BENCHMARK(BM_StandInAlarmNoSubscriber)->Apply(scalingWithMiddle);

void BM_StructuredBatch(benchmark::State& state)
{
    AgentCrowd crowd(static_cast<int>(state.range(0)));
    const RawBatch batch;
    runOnCrowd(state, &crowd,
               [&]() { control::deliverRawStructuredNow(crowd.target.camera, batch.record()); });
}
BENCHMARK(BM_StructuredBatch)->Apply(scaling);

// Baseline: the stand-in's own cost of one structured batch on a camera without sessions.
void BM_StandInStructuredNoSubscriber(benchmark::State& state)
{
    AgentCrowd crowd(static_cast<int>(state.range(0)));
    const RawBatch batch;
    runOnCrowd(state, &crowd,
               [&]() { control::deliverRawStructuredNow(crowd.silentCamera, batch.record()); });
}
BENCHMARK(BM_StandInStructuredNoSubscriber)->Apply(scaling);

// ---- Settings ----

// A settings delivery after the first one, so the agent writes the four rule kinds.
void BM_SettingsWithRuleWrites(benchmark::State& state)
{
    OneAgent setup(ruleChannel());
    if (!setup.ok(state))
        return;
    const auto settings = host::makeStringMap(ruleSettings());
    IConsumingDeviceAgent* const agent = setup.agent.agent.get();
    setSettings(agent, settings.get());
    const int setRulesBefore = control::callCount(control::Operation::kSetLineCrossRules);
    for (auto _ : state)
        setSettings(agent, settings.get());
    const double iterations = static_cast<double>(state.iterations());
    state.counters["lineWritesPerCall"] =
        (control::callCount(control::Operation::kSetLineCrossRules) - setRulesBefore) / iterations;
}
BENCHMARK(BM_SettingsWithRuleWrites);

void BM_PluginSideSettings(benchmark::State& state)
{
    OneAgent setup(ruleChannel());
    if (!setup.ok(state))
        return;
    IConsumingDeviceAgent* const agent = setup.agent.agent.get();
    int64_t settingCount = 0;
    for (auto _ : state)
        settingCount += readPluginSideSettings(agent);
    state.counters["settingsPerReadBack"] =
        static_cast<double>(settingCount) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PluginSideSettings);

// ---- Manifests ----

template <typename Object>
void readManifest(benchmark::State& state, const Object* object)
{
    size_t bytes = 0;
    for (auto _ : state)
    {
        Result<const IString*> result;
        object->getManifest(&result);
        if (result.value)
        {
            bytes = std::strlen(result.value->str());
            result.value->releaseRef();
        }
        if (result.error.errorMessage)
            result.error.errorMessage->releaseRef();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_EngineManifest(benchmark::State& state)
{
    BenchHost host;
    if (!host.ok())
    {
        state.SkipWithError("no engine");
        return;
    }
    readManifest(state, host.engine());
}
BENCHMARK(BM_EngineManifest);

void BM_DeviceAgentManifest(benchmark::State& state)
{
    OneAgent setup;
    if (!setup.ok(state))
        return;
    readManifest(state, setup.agent.agent.get());
}
BENCHMARK(BM_DeviceAgentManifest);

// ---- Baselines ----

void BM_BaselineDiagnosticLine(benchmark::State& state)
{
    int64_t line = 0;
    for (auto _ : state)
        NX_KIT_PRINT("[korvane_bench] ") << "Baseline diagnostic line " << ++line;
}
BENCHMARK(BM_BaselineDiagnosticLine);

void BM_BaselineAddRefReleaseRef(benchmark::State& state)
{
    OneAgent setup;
    if (!setup.ok(state))
        return;
    IConsumingDeviceAgent* const agent = setup.agent.agent.get();
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(agent->addRef());
        benchmark::DoNotOptimize(agent->releaseRef());
    }
}
BENCHMARK(BM_BaselineAddRefReleaseRef);

// ---- Scaling figures ----

// The console reporter, which shows only the "min" aggregate of repeated benchmarks and
// keeps each benchmark's time per operation so that the ratios can be printed after the run.
class RecordingReporter final : public benchmark::ConsoleReporter
{
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& reports) override
    {
        std::vector<Run> shown;
        for (const Run& run : reports)
        {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min")
                continue;
            shown.push_back(run);
            if (!run.error_occurred)
            {
                m_nanoseconds[run.run_name.function_name + "/" + run.run_name.args] =
                    run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(shown);
    }

    // The time per operation of `name` ("BM_X/1"); 0 when it did not run.
    double nanoseconds(const std::string& name) const
    {
        const auto it = m_nanoseconds.find(name);
        return it == m_nanoseconds.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_nanoseconds;
};

double ratio(double many, double few)
{
    return few > 0 ? many / few : 0.0;
}

// One line of the scaling table: the figure at few and at many agents, and their ratio.
void printScalingLine(const char* what, double few, double many)
{
    std::printf("%-32s %12.1f %12.1f %8.2fx\n", what, few, many, ratio(many, few));
}

// The whole path, the stand-in's share (the same notification on a camera without
// sessions) and the plugin's share (the difference) of one notification kind.
void printScalingFigures(const RecordingReporter& reporter, const char* what,
                         const std::string& whole, const std::string& standIn)
{
    const auto at = [&](const std::string& name, int agents)
    { return reporter.nanoseconds(name + "/" + std::to_string(agents)); };
    const double wholeFew = at(whole, kFewAgents);
    const double wholeMany = at(whole, kManyAgents);
    const double standInFew = at(standIn, kFewAgents);
    const double standInMany = at(standIn, kManyAgents);
    if (wholeFew <= 0 || wholeMany <= 0 || standInFew <= 0 || standInMany <= 0)
        return;
    printScalingLine(what, wholeFew, wholeMany);
    printScalingLine("  stand-in share", standInFew, standInMany);
    printScalingLine("  plugin share", wholeFew - standInFew, wholeMany - standInMany);
}

void printScalingTable(const RecordingReporter& reporter)
{
    std::printf("\nScaling, %d agents against %d (fastest of %d repetitions, ns per operation)\n",
                kManyAgents, kFewAgents, kScalingRepetitions);
    std::printf("%-32s %12s %12s %9s\n", "", "1 agent", "1024 agents", "ratio");
    printScalingFigures(reporter, "alarm to handler", "BM_AlarmToHandler",
                        "BM_StandInAlarmNoSubscriber");
    printScalingFigures(reporter, "structured batch", "BM_StructuredBatch",
                        "BM_StandInStructuredNoSubscriber");
    std::fflush(stdout);
}

}  // namespace
}  // namespace korvane::bench

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!korvane::bench::silenceDiagnostics())
    {
        std::cout << "Cannot send the diagnostics to /dev/null" << std::endl;
        return 1;
    }
    // Standard error now leads nowhere: the reporter writes its context and errors to
    // standard output.
    korvane::bench::RecordingReporter reporter(isatty(STDOUT_FILENO)
                                                   ? benchmark::ConsoleReporter::OO_Color
                                                   : benchmark::ConsoleReporter::OO_None);
    reporter.SetErrorStream(&std::cout);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::cout.flush();
    const auto nanoseconds = [&](const std::string& name) { return reporter.nanoseconds(name); };
    if (korvane::bench::isRecorderRun())
    {
        korvane::bench::printRecordedFigures(nanoseconds);
    }
    else
    {
        korvane::bench::printScalingTable(reporter);
        korvane::bench::printRecorderTable(nanoseconds);
    }
    benchmark::Shutdown();
    return 0;
}
