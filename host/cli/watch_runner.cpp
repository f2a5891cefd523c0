#include "watch_runner.h"

#include <fstream>
#include <thread>

#include <nx/sdk/helpers/error.h>

#include "host/cli/console.h"
#include "host/cli/rules_svg.h"
#include "host/data_packets.h"
#include "plugin/camera/alarm_table.h"

namespace korvane::host::cli
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;
using Clock = std::chrono::steady_clock;

struct WatchRunner::Camera
{
    WatchTarget target;
    BoundAgent bound;
    Settings delivered;   //< The values of the last settings delivery.
    Settings rules;       //< The plugin-side settings read last.
    std::string address;  //< Where its video comes from, as its URL names it.
    int32_t port = 80;
    bool agentCreated = false;
};

namespace
{

// The longest the loop sleeps, so that an interrupt is seen at once.
constexpr auto kLongestSleep = std::chrono::milliseconds(50);

int64_t wallClockUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

WatchRunner::WatchRunner(const Options& options, WatchSettings settings, Report* report)
    : m_options(options), m_settings(std::move(settings)), m_report(report), m_start(Clock::now())
{
}

WatchRunner::~WatchRunner() = default;

int64_t WatchRunner::elapsedMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start).count();
}

bool WatchRunner::run(const PluginLibrary& library, const std::vector<WatchTarget>& targets,
                      const Simulation* simulation)
{
    m_conditions = std::make_unique<CameraConditions>("[" + library.libraryName() + "_device_");
    PluginSession session(library, m_report);
    if (!session.start())
        return false;
    // A camera that cannot be bound fails the run, but the others are still watched.
    bool ok = bindAll(&session, targets);
    if (m_options.rules)
        ok = showRules(&session) && ok;
    if (m_settings.hasApply)
        ok = applySettings(&session) && (!m_options.rules || showRules(&session)) && ok;
    watch(&session, simulation);
    for (const auto& camera : m_cameras)
    {
        // The agent first, so that its last packets are reported before the handler goes.
        if (camera->bound.agent)
            camera->bound.agent->finalize();
        camera->bound.agent.reset();
        session.reportDeliveries(elapsedMs(), &camera->bound);
        PluginSession::release(&camera->bound);
    }
    session.stop();
    return ok;
}

bool WatchRunner::bindAll(PluginSession* session, const std::vector<WatchTarget>& targets)
{
    const Settings defaults =
        settingsModelDefaults(session->engineManifest()["deviceAgentSettingsModel"]);
    bool ok = true;
    for (const WatchTarget& target : targets)
    {
        if (interruptRequested())
            break;  //< A login to an unreachable camera can take long: stop binding.
        auto camera = std::make_unique<Camera>();
        camera->target = target;
        camera->bound.camera = target.name;
        camera->address = urlHost(target.device.url);
        camera->port = urlPort(target.device.url);
        camera->delivered = overlaid(defaults, m_settings.first);
        m_conditions->addCamera(target.name, target.device.id);
        std::string errorText;
        camera->agentCreated =
            session->bind(elapsedMs(), target.device, &camera->bound, &errorText);
        const std::string summary = std::to_string(camera->delivered.size()) +
                                    " values, the settings page's defaults with " +
                                    std::to_string(m_settings.first.size()) + " from --settings";
        if (!camera->agentCreated || !session->sendSettings(elapsedMs(), camera->bound,
                                                            camera->delivered, &errorText, summary))
        {
            m_report->add(elapsedMs(), target.name, cameraErrorEntry(errorText));
            ok = false;
        }
        m_cameras.push_back(std::move(camera));
        reportDiagnostics();
    }
    return ok;
}

bool WatchRunner::showRules(PluginSession* session)
{
    using Status = CameraRuleSettings::Status;
    if (m_drainLines)
        m_drainLines();   //< The plugin's lines reach the runner on the capture's thread.
    reportDiagnostics();  //< Among them the lines that say a session did not open.
    std::vector<CameraRuleSettings> drawn;
    bool ok = true;
    for (const auto& camera : m_cameras)
    {
        Status status = camera->bound.agent ? Status::kRead : Status::kNoSession;
        std::string errorText;
        if (camera->bound.agent &&
            !session->readSettings(elapsedMs(), camera->bound, &camera->rules, &errorText))
        {
            m_report->add(elapsedMs(), camera->target.name, cameraErrorEntry(errorText));
            status = Status::kReadFailed;
            ok = false;
        }
        const bool noSession = !m_conditions->sessionOpen(camera->target.name);
        drawn.push_back(
            {camera->target.name, camera->rules, noSession ? Status::kNoSession : status});
    }
    reportDiagnostics();
    if (m_options.rulesSvgPath.empty())
        return ok;
    std::ofstream file(m_options.rulesSvgPath, std::ios::binary);
    file << rulesSvg(drawn);
    if (file.flush())
        return ok;
    m_report->note(runErrorEntry("cannot write " + m_options.rulesSvgPath,
                                 "ERROR: cannot write " + m_options.rulesSvgPath));
    return false;
}

bool WatchRunner::applySettings(PluginSession* session)
{
    bool ok = true;
    for (const auto& camera : m_cameras)
    {
        if (!camera->bound.agent)
            continue;
        // As the page sends it on save: what it showed (the camera's rules as read) with
        // the user's edits.
        std::string errorText;
        if (camera->rules.empty() &&
            !session->readSettings(elapsedMs(), camera->bound, &camera->rules, &errorText))
        {
            m_report->add(elapsedMs(), camera->target.name, cameraErrorEntry(errorText));
            ok = false;
            continue;
        }
        camera->delivered = overlaid(overlaid(camera->delivered, camera->rules), m_settings.apply);
        const std::string summary =
            std::to_string(camera->delivered.size()) + " values, the camera's rules with " +
            std::to_string(m_settings.apply.size()) + " from --apply, written to the camera";
        // One camera that did not take the change does not keep it from the others.
        if (!session->sendSettings(elapsedMs(), camera->bound, camera->delivered, &errorText,
                                   summary))
        {
            m_report->add(elapsedMs(), camera->target.name, cameraErrorEntry(errorText));
            ok = false;
        }
    }
    reportDiagnostics();
    return ok;
}

void WatchRunner::watch(PluginSession* session, const Simulation* simulation)
{
    const auto period = std::chrono::microseconds(1000000 / m_options.fps);
    const auto end = m_options.seconds > 0 ? m_start + std::chrono::seconds(m_options.seconds)
                                           : Clock::time_point::max();
    auto nextFrame = Clock::now();
    while (!interruptRequested() && Clock::now() < end && !(simulation && simulation->playedOut()))
    {
        if (Clock::now() >= nextFrame)
        {
            pushFrames(simulation);
            nextFrame += period;
        }
        for (const auto& camera : m_cameras)
            session->reportDeliveries(elapsedMs(), &camera->bound);
        reportDiagnostics();
        std::this_thread::sleep_until(std::min({nextFrame, end, Clock::now() + kLongestSleep}));
    }
    if (simulation && simulation->playedOut())
        m_report->note(playedEntry());
}

void WatchRunner::pushFrames(const Simulation* simulation)
{
    const int64_t timestampUs = wallClockUs();
    for (const auto& camera : m_cameras)
    {
        if (!camera->bound.agent ||
            (simulation && simulation->streamDown(camera->address, camera->port)))
            continue;
        Result<void> result;
        camera->bound.agent->doPushDataPacket(&result,
                                              makePtr<CompressedVideoPacket>(timestampUs).get());
        if (!result.isOk())
        {
            const std::string message = "video frame refused: " + errorText(&result.error);
            m_report->add(elapsedMs(), camera->target.name, cameraErrorEntry(message));
        }
    }
}

void WatchRunner::addDiagnosticLine(const std::string& line)
{
    if (!CameraConditions::isShown(line))
        return;
    const std::lock_guard<std::mutex> lock(m_linesMutex);
    m_lines.push_back(line);
}

void WatchRunner::addCameraAlarm(const std::string& address, int32_t port, int32_t code,
                                 int64_t timeSeconds)
{
    if (nx::vms_server_plugins::analytics::sample::findAlarmRow(code))
        return;
    const std::lock_guard<std::mutex> lock(m_linesMutex);
    m_alarms.push_back({address, port, code, timeSeconds});
}

void WatchRunner::reportDiagnostics()
{
    std::deque<std::string> lines;
    std::deque<CameraAlarm> alarms;
    {
        const std::lock_guard<std::mutex> lock(m_linesMutex);
        lines.swap(m_lines);
        alarms.swap(m_alarms);
    }
    for (const std::string& line : lines)
    {
        std::string name = "plugin";
        std::string text = line;
        m_conditions->addLine(line, &name, &text);
        m_report->add(elapsedMs(), name, diagnosticEntry(line, text));
    }
    for (const CameraAlarm& alarm : alarms)
    {
        for (const auto& camera : m_cameras)
        {
            if (camera->address == alarm.address && camera->port == alarm.port)
                m_report->add(elapsedMs(), camera->target.name,
                              unknownAlarmEntry(alarm.code, alarm.timeSeconds));
        }
    }
}

bool WatchRunner::reportSummary()
{
    reportDiagnostics();
    bool allDeliver = true;
    for (const auto& camera : m_cameras)
    {
        const std::string& name = camera->target.name;
        const bool opened = camera->agentCreated && m_conditions->sessionOpen(name);
        const std::vector<std::string> failures =
            camera->agentCreated ? m_conditions->failures(name, true) : std::vector<std::string>();
        for (const std::string& failure : failures)
            m_report->addFailure(name, failure);
        allDeliver = allDeliver && opened && failures.empty();
        const BoundAgent& bound = camera->bound;
        m_report->add(elapsedMs(), name, cameraSummaryEntry(bound.events, bound.objects, opened));
    }
    return allDeliver;
}

}  // namespace korvane::host::cli
