// korvane_soak: a simulated hour of a busy server. 64 device agents, each on a camera of its
// own, get 30 compressed frames per simulated second, pushed as fast as possible with
// simulated timestamps; every few frames each camera delivers a detection batch and now and
// then an alarm, and every ten simulated minutes each agent gets a settings delivery that
// writes its camera's smart rules and is asked for the rules back. Resident memory is read after a
// warm-up and at the end; the run passes when the end is within 1 MiB of the warm-up figure, every
// detection and alarm arrived at its agent's handler, and no plugin object is left alive after the
// agents are released.
//
//   korvane_soak [--seconds N] [--agents N]
//
// The plugin's diagnostic lines go to /dev/null; the figures go to standard output.

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_host.h"
#include "host/string_maps.h"

namespace
{

using namespace korvane::bench;
namespace control = ostrel::control;

constexpr int kFramesPerSecond = 30;
constexpr int64_t kFrameIntervalUs = 1000000 / kFramesPerSecond;
constexpr int kDetectionPeriodFrames = 5;     // one batch per camera every 5 frames
constexpr int kAlarmPeriodFrames = 300;       // one alarm per camera every 10 s
constexpr int kSettingsPeriodFrames = 18000;  // one settings delivery per agent every 10 min
constexpr int kWarmUpSeconds = 120;
constexpr int64_t kAllowedGrowthBytes = 1024 * 1024;
constexpr int64_t kFirstAlarmTimeS = 1700000000;
constexpr int kBatchVariants = 8;

// Alarm codes that the plugin translates, cycled through by the alarms.
constexpr int32_t kAlarmCodes[] = {1, 2, 5, 6, 1003, 1015, 1016, 1429};
constexpr int kAlarmCodeCount = sizeof(kAlarmCodes) / sizeof(kAlarmCodes[0]);

struct Options
{
    int seconds = 3600;
    int agents = 64;
};

bool parseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string name = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (value <= 0)
            return false;
        if (name == "--seconds")
            options->seconds = value;
        else if (name == "--agents")
            options->agents = value;
        else
            return false;
    }
    return argc % 2 == 1;
}

struct Camera
{
    control::CameraId id = 0;
    BenchAgent agent;
};

struct Totals
{
    int64_t frames = 0;
    int64_t detections = 0;
    int64_t alarms = 0;
    int64_t failedPushes = 0;
    int64_t settingsDeliveries = 0;  // with rule writes, each followed by a read-back
    int64_t readBackValues = 0;
};

class Soak
{
public:
    Soak(BenchHost* host, int agentCount)
    {
        for (int i = 0; i < kBatchVariants; ++i)
            m_batches.push_back(std::make_unique<RawBatch>(i));
        const auto settings = korvane::host::makeStringMap(objectSettings());
        const auto ruleSettings = korvane::host::makeStringMap(korvane::bench::ruleSettings());
        for (int i = 0; i < agentCount; ++i)
        {
            Camera camera;
            camera.id = host->addCamera(i, ruleChannel());
            camera.agent = host->obtainAgent(i);
            if (!camera.agent.agent)
                return;
            // The first delivery never writes rules; the second writes them and fills the
            // agent's settings and the rule caches, and one read-back follows, so that the
            // warm-up starts from the state every later delivery keeps.
            setSettings(camera.agent.agent.get(), settings.get());
            setSettings(camera.agent.agent.get(), ruleSettings.get());
            readPluginSideSettings(camera.agent.agent.get());
            m_cameras.push_back(camera);
        }
        m_complete = true;
    }

    bool complete() const { return m_complete; }

    // Plays frames [from, to) of every camera.
    void play(int64_t from, int64_t to)
    {
        const auto settings = korvane::host::makeStringMap(ruleSettings());
        for (int64_t frame = from; frame < to; ++frame)
        {
            const int64_t timestampUs = frame * kFrameIntervalUs;
            for (size_t i = 0; i < m_cameras.size(); ++i)
                playFrame(m_cameras[i], static_cast<int64_t>(i), frame, timestampUs,
                          settings.get());
        }
    }

    const Totals& totals() const { return m_totals; }

    // Events and objects received by all handlers, and object packets.
    void received(int64_t* events, int64_t* objects, int64_t* objectPackets) const
    {
        *events = *objects = *objectPackets = 0;
        for (const Camera& camera : m_cameras)
        {
            *events += camera.agent.handler->events();
            *objects += camera.agent.handler->objects();
            *objectPackets += camera.agent.handler->objectPackets();
        }
    }

private:
    void playFrame(const Camera& camera, int64_t index, int64_t frame, int64_t timestampUs,
                   const nx::sdk::IStringMap* settings)
    {
        if ((frame + index) % kDetectionPeriodFrames == 0)
        {
            const RawBatch& batch = *m_batches[(frame / kDetectionPeriodFrames) % kBatchVariants];
            control::deliverRawStructuredNow(camera.id, batch.record());
            ++m_totals.detections;
        }
        if ((frame + 7 * index) % kAlarmPeriodFrames == 0)
        {
            OstrelAlarmRecord alarm;
            std::memset(&alarm, 0, sizeof(alarm));
            alarm.alarmType = kAlarmCodes[m_totals.alarms % kAlarmCodeCount];
            alarm.alarmTime = kFirstAlarmTimeS + frame / kFramesPerSecond;
            control::raiseRawAlarmNow(camera.id, &alarm);
            ++m_totals.alarms;
        }
        if (frame > 0 && (frame + index) % kSettingsPeriodFrames == 0)
        {
            setSettings(camera.agent.agent.get(), settings);
            m_totals.readBackValues += readPluginSideSettings(camera.agent.agent.get());
            ++m_totals.settingsDeliveries;
        }
        if (!pushFrame(camera.agent.agent.get(), timestampUs))
            ++m_totals.failedPushes;
        ++m_totals.frames;
    }

    std::vector<std::unique_ptr<RawBatch>> m_batches;
    std::vector<Camera> m_cameras;
    Totals m_totals;
    bool m_complete = false;
};

double mebibytes(int64_t bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// What one run measured besides the soak's own totals.
struct Measured
{
    int64_t rssWarm = 0;
    int64_t rssEnd = 0;
    double seconds = 0;     //< Wall time after the warm-up.
    double allSeconds = 0;  //< Wall time of the whole run.
    int64_t events = 0;
    int64_t objects = 0;
    int64_t objectPackets = 0;
};

// Prints what the run did and measured; false when memory grew too much or something went
// missing.
bool printAndCheck(const Options& options, int64_t warmUpFrames, const Totals& totals,
                   const Measured& m)
{
    std::cout << "agents:            " << options.agents << "\n"
              << "simulated time:    " << options.seconds << " s at " << kFramesPerSecond
              << " frames/s (warm-up " << warmUpFrames / kFramesPerSecond << " s)\n"
              << "frames pushed:     " << totals.frames << " (failed " << totals.failedPushes
              << ")\n"
              << "detection batches: " << totals.detections << ", object packets "
              << m.objectPackets << ", objects " << m.objects << "\n"
              << "alarms raised:     " << totals.alarms << ", events received " << m.events << "\n"
              << "settings:          " << totals.settingsDeliveries
              << " deliveries with rule writes, " << totals.readBackValues << " values read back\n"
              << "wall time:         " << m.allSeconds << " s (after warm-up " << m.seconds
              << " s, " << static_cast<double>(totals.frames) / m.allSeconds
              << " frames/s overall)\n"
              << "resident memory:   after warm-up " << mebibytes(m.rssWarm) << " MiB, at end "
              << mebibytes(m.rssEnd) << " MiB, growth "
              << static_cast<double>(m.rssEnd - m.rssWarm) / 1024.0 << " KiB (allowed "
              << kAllowedGrowthBytes / 1024 << " KiB)\n";
    bool passed = true;
    if (m.rssWarm < 0 || m.rssEnd < 0 || m.rssEnd - m.rssWarm > kAllowedGrowthBytes)
    {
        std::cout << "FAILED: resident memory grew by more than 1 MiB\n";
        passed = false;
    }
    if (totals.failedPushes != 0 || m.objectPackets != totals.detections ||
        m.events != totals.alarms)
    {
        std::cout << "FAILED: a frame push failed, or detections or alarms went missing\n";
        passed = false;
    }
    return passed;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, &options))
    {
        std::cout << "usage: korvane_soak [--seconds N] [--agents N]\n";
        return 2;
    }
    if (!silenceDiagnostics())
    {
        std::cout << "Cannot send the diagnostics to /dev/null\n";
        return 1;
    }
    std::cout << std::fixed << std::setprecision(2);

    const int64_t totalFrames = int64_t{options.seconds} * kFramesPerSecond;
    const int64_t warmUpFrames =
        std::min<int64_t>(int64_t{kWarmUpSeconds} * kFramesPerSecond, totalFrames / 10);
    bool passed = true;
    const auto started = std::chrono::steady_clock::now();
    {
        BenchHost host;
        if (!host.ok())
            return 1;
        Soak soak(&host, options.agents);
        if (!soak.complete())
        {
            std::cout << "FAILED: not every device agent could be created\n";
            return 1;
        }
        Measured measured;
        soak.play(0, warmUpFrames);
        measured.rssWarm = residentBytes();
        const auto warm = std::chrono::steady_clock::now();
        soak.play(warmUpFrames, totalFrames);
        measured.rssEnd = residentBytes();
        const auto end = std::chrono::steady_clock::now();
        measured.seconds = std::chrono::duration<double>(end - warm).count();
        measured.allSeconds = std::chrono::duration<double>(end - started).count();
        soak.received(&measured.events, &measured.objects, &measured.objectPackets);
        passed = printAndCheck(options, warmUpFrames, soak.totals(), measured);
    }
    const korvane::host::PluginLibrary* const library = benchPluginLibrary();
    const int live = library ? library->objects().liveCount() : -1;
    std::cout << "plugin objects alive after release: " << live << "\n";
    if (live != 0)
    {
        std::cout << "FAILED: plugin objects left alive\n";
        passed = false;
    }
    std::cout << (passed ? "PASSED" : "FAILED") << std::endl;
    return passed ? 0 : 1;
}
