// korvane_bench: the cost of the plugin's hot paths, in nanoseconds per operation, with
// baselines (one raw write of a line, one diagnostic line, one addRef/releaseRef pair, the
// Camera SDK stand-in's own delivery cost) in the same run so that ratios can be read. After
// the run it prints how an alarm and a structured batch scale from 1 to 1024 agents in the
// process, the whole path, the stand-in's share and the plugin's share apart, what a
// diagnostic line, a frame and an alarm cost against the raw write, and what the recording
// Camera SDK adds to an alarm and a batch (recorder_comparison.h).
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
#include "bench/bench_report.h"
#include "bench/recorder_comparison.h"
#include "host/data_packets.h"
#include "host/string_maps.h"
#include "plugin/session_upkeep.h"

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
BENCHMARK(BM_FrameNothingPending)->Apply(fastestOfRepetitions);

// What a frame does for the background work that keeps the camera session up: it counts the
// frame for it and asks whether that work waits for a frame. The same code as the agent's
// frame hook runs, on an upkeep that is never started.
void BM_FrameSessionSignal(benchmark::State& state)
{
    using namespace nx::vms_server_plugins::analytics::sample;
    CameraSession session(nullptr, {}, CameraLogin(), "[bench] ");
    SessionSignals signals;
    SessionUpkeep upkeep(&session, &signals, SessionKeeper::shared(), SessionTimings(),
                         CameraSession::Opening());
    uint32_t frames = 0;
    for (auto _ : state)
    {
        signals.frames.store(++frames, std::memory_order_relaxed);
        upkeep.frameArrived();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FrameSessionSignal)->Apply(fastestOfRepetitions);

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

void scalingArgs(benchmark::internal::Benchmark* benchmark, bool withMiddle)
{
    benchmark->Arg(kFewAgents);
    if (withMiddle)
        benchmark->Arg(64);
    benchmark->Arg(kManyAgents);
    fastestOfRepetitions(benchmark);
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

// The line of both write baselines: an agent's prefix and a text, 110 bytes with the line
// end (a frame's lines are shorter, an alarm's longer), the number always of seven digits.
const std::string kBaselinePrefix = "[korvane_event_analytics_plugin_device_bench1] ";
constexpr const char* kBaselineText = "Baseline diagnostic line, 110 bytes with its end, no.: ";
constexpr int64_t kBaselineFirstNumber = 1000000;
constexpr int64_t kBaselineNumbers = 9000000;

void BM_BaselineDiagnosticLine(benchmark::State& state)
{
    int64_t line = 0;
    for (auto _ : state)
    {
        NX_KIT_PRINT(kBaselinePrefix)
            << kBaselineText << kBaselineFirstNumber + ++line % kBaselineNumbers;
    }
}
BENCHMARK(BM_BaselineDiagnosticLine)->Apply(fastestOfRepetitions);

// The floor of every diagnostic line: one write(2) of a line of the same length to the same
// sink (standard error, sent to /dev/null).
void BM_BaselineWrite(benchmark::State& state)
{
    const std::string line =
        kBaselinePrefix + kBaselineText + std::to_string(kBaselineFirstNumber) + "\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(write(STDERR_FILENO, line.data(), line.size()));
    state.counters["bytes"] = static_cast<double>(line.size());
}
BENCHMARK(BM_BaselineWrite)->Apply(fastestOfRepetitions);

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
        korvane::bench::printWriteRatios(reporter);
        korvane::bench::printSessionSignalShare(reporter);
        korvane::bench::printRecorderTable(nanoseconds);
    }
    benchmark::Shutdown();
    return 0;
}
