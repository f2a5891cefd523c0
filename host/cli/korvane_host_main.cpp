// korvane_host: runs the Korvane plugin library as the server would, and prints what the
// server receives. Scenario mode plays a scenario step by step against the Camera SDK
// stand-in's simulated cameras; watch mode acts as the server in real time for real (or
// simulated) cameras. `korvane_host --help` describes both.
//
// The plugin's diagnostic lines go to the log file (default korvane_host.log), so the
// terminal shows the server's view. Exit code: 0 when every step succeeded and no object
// was left alive, 1 otherwise (standard output that could not be written among them), 2 for
// a bad command line or file.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "host/cli/camera_passwords.h"
#include "host/cli/capture_reader.h"
#include "host/cli/capture_replay.h"
#include "host/cli/capture_summary.h"
#include "host/cli/command_line.h"
#include "host/cli/console.h"
#include "host/cli/plugin_session.h"
#include "host/cli/report.h"
#include "host/cli/scenario.h"
#include "host/cli/scenario_runner.h"
#include "host/cli/simulation.h"
#include "host/cli/stand_in_control.h"
#include "host/cli/watch_runner.h"
#include "host/object_tracker.h"
#include "host/plugin_library.h"

namespace
{

using namespace korvane::host;
using namespace korvane::host::cli;

constexpr int kBadInput = 2;

bool readFile(const std::string& path, std::string* text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream content;
    content << file.rdbuf();
    *text = content.str();
    return true;
}

// Reads and parses the file at `path` with `parse`; prints why not and returns false.
template <typename Value, typename Parse>
bool readInput(const std::string& path, Parse parse, Value* value)
{
    std::string text;
    std::string errorText;
    if (!readFile(path, &text))
        errorText = "cannot read " + path;
    else if (!parse(text, value, &errorText))
        errorText = path + ": " + errorText;
    if (errorText.empty())
        return true;
    std::fprintf(stderr, "korvane_host: %s\n", errorText.c_str());
    return false;
}

// What a run left alive, counted before the plugin library is unloaded.
struct LiveObjects
{
    int plugin = 0;
    int host = 0;
    int badDestructions = 0;

    bool none() const { return plugin == 0 && host == 0 && badDestructions == 0; }
};

LiveObjects liveObjectsOf(const PluginLibrary& library)
{
    LiveObjects live;
    live.plugin = library.objects().liveCount();
    live.host = hostObjectTracker()->liveCount();
    live.badDestructions =
        library.objects().badDestroyCount() + hostObjectTracker()->badDestroyCount();
    return live;
}

// Reports how the run went and what it left alive; whether it succeeded with nothing left.
bool reportLiveObjects(Report* report, const LiveObjects& live, bool ok, const std::string& logPath)
{
    std::vector<std::string> failures = report->failures();
    if (!ok && failures.empty())
        failures.push_back("a step failed");
    if (!live.none())
        failures.push_back("objects were left alive or destroyed wrongly");
    report->note(summaryEntry(failures, live.plugin, live.host, live.badDestructions, logPath));
    return failures.empty();
}

// The library at the options' path, loaded; null with the reason printed on the terminal.
const PluginLibrary* openLibrary(const Options& options, const DiagnosticsCapture& capture)
{
    std::string errorText;
    const PluginLibrary* const library =
        PluginLibrary::open(options.pluginPath, PluginLibrary::kDefaultLibraryName, &errorText);
    if (!library)
        capture.printToTerminal("korvane_host: " + errorText + "\n");
    return library;
}

// Sends the plugin's lines to the log file and loads the library for `run(library, capture)`;
// its exit code, or 1 or 2 when the log or the library cannot be opened.
template <typename Run>
int runWithLibrary(const Options& options, Run run)
{
    DiagnosticsCapture capture(options.logPath, nullptr);
    if (!capture.ok())
    {
        std::fprintf(stderr, "korvane_host: cannot write %s\n", options.logPath.c_str());
        return kBadInput;
    }
    const PluginLibrary* const library = openLibrary(options, capture);
    if (!library)
        return 1;
    return run(*library, capture);
}

int runScenario(const Options& options)
{
    std::string text = defaultScenarioText();
    std::string errorText;
    if (!options.scenarioPath.empty() && !readFile(options.scenarioPath, &text))
    {
        std::fprintf(stderr, "korvane_host: cannot read %s\n", options.scenarioPath.c_str());
        return kBadInput;
    }
    Scenario scenario;
    if (!parseScenario(text, &scenario, &errorText))
    {
        std::fprintf(stderr, "korvane_host: %s\n", errorText.c_str());
        return kBadInput;
    }
    return runWithLibrary(
        options,
        [&](const PluginLibrary& library, const DiagnosticsCapture& capture)
        {
            const ostrel::control::ControlTable* const control = findStandInControl();
            if (!control)
            {
                capture.printToTerminal(
                    "korvane_host: the loaded Camera SDK is not the stand-in: a scenario needs "
                    "its simulated cameras (watch real cameras with --camera)\n");
                return kBadInput;
            }
            Report report(stdout, options.json);
            bool ok = false;
            {
                ScenarioRunner runner(library, *control, &report);
                ok = runner.run(scenario);
            }
            control->reset();
            return reportLiveObjects(&report, liveObjectsOf(library), ok, options.logPath) ? 0 : 1;
        });
}

// The cameras named on the command line, or else every simulated camera.
std::vector<WatchTarget> watchTargets(const Options& options, const SimulationSpec& simulation)
{
    std::vector<WatchTarget> targets;
    for (const CameraOption& camera : options.cameras)
    {
        WatchTarget target;
        target.device.id = camera.id.empty() ? urlHost(camera.url) : camera.id;
        target.device.name = target.name = target.device.id;
        target.device.url = camera.url;
        target.device.login = camera.login;
        target.device.password = camera.password;
        target.device.channelNumber = camera.channel;
        targets.push_back(target);
    }
    if (!options.cameras.empty())
        return targets;
    for (const CameraSpec& camera : simulation.cameras)
    {
        WatchTarget target;
        target.name = target.device.name = camera.name;
        target.device.id = camera.deviceId;
        target.device.url = camera.deviceUrl;
        target.device.login = camera.deviceLogin;
        target.device.password = camera.devicePassword;
        target.device.channelNumber = camera.deviceChannel;
        targets.push_back(target);
    }
    return targets;
}

// Reads the capture at `path`; false with "PATH:LINE: what is wrong" printed. A last line
// cut short is noted and ends the capture.
bool readCaptureFile(const std::string& path, Capture* capture)
{
    std::string errorText;
    if (!readCapture(path, capture, &errorText))
    {
        std::fprintf(stderr, "korvane_host: %s\n", errorText.c_str());
        return false;
    }
    const std::string note = truncationNote(*capture);
    if (!note.empty())
        std::fprintf(stderr, "korvane_host: %s\n", note.c_str());
    return true;
}

// --capture-summary and --capture-to-simulation.
int runCaptureMode(const Options& options)
{
    Capture capture;
    if (!readCaptureFile(options.capturePath, &capture))
        return kBadInput;
    if (options.mode == Options::Mode::kCaptureSummary)
        printCaptureSummary(captureSummary(capture), options.json, stdout);
    else
        printSimulation(simulationOfCapture(capture), stdout);
    return 0;
}

// The simulation that --simulate or --replay names, played at the options' speed.
bool readSimulation(const Options& options, SimulationSpec* simulation)
{
    if (!options.simulationPath.empty())
    {
        if (!readInput(options.simulationPath, &parseSimulation, simulation))
            return false;
    }
    else
    {
        Capture capture;
        std::string errorText;
        if (!readCaptureFile(options.capturePath, &capture))
            return false;
        if (!simulationOf(simulationOfCapture(capture), simulation, &errorText))
        {
            std::fprintf(stderr, "korvane_host: %s: %s\n", options.capturePath.c_str(),
                         errorText.c_str());
            return false;
        }
    }
    simulation->speed = options.speed;
    simulation->loop = options.loop;
    return true;
}

// Reads the files a watch run needs; false (with the reason printed) when one is bad.
bool readWatchInputs(const Options& options, WatchSettings* settings, SimulationSpec* simulation)
{
    if (!options.settingsPath.empty() &&
        !readInput(options.settingsPath, &parseSettingsText, &settings->first))
    {
        return false;
    }
    settings->hasApply = !options.applyPath.empty();
    if (settings->hasApply && !readInput(options.applyPath, &parseSettingsText, &settings->apply))
        return false;
    return !simulates(options) || readSimulation(options, simulation);
}

// How a watch run went, up to the unloading of the plugin library.
struct WatchOutcome
{
    int exitCode = 1;  //< Before the summaries: 1 or 2 when the run could not go on.
    bool ok = false;
    bool unloaded = false;
    LiveObjects live;
};

// Runs the watch with the library loaded and the plugin's lines captured throughout, then
// unloads the library when nothing of it is alive.
void watchWithCapture(const Options& options, const SimulationSpec& simulationSpec,
                      WatchRunner* runner, WatchOutcome* outcome)
{
    DiagnosticsCapture capture(
        options.logPath, [runner](const std::string& line) { runner->addDiagnosticLine(line); });
    if (!capture.ok())
    {
        std::fprintf(stderr, "korvane_host: cannot write %s\n", options.logPath.c_str());
        outcome->exitCode = kBadInput;
        return;
    }
    const PluginLibrary* const library = openLibrary(options, capture);
    if (!library)
        return;
    const ostrel::control::ControlTable* const control = findStandInControl();
    if (simulates(options) && !control)
    {
        capture.printToTerminal(
            "korvane_host: --simulate needs the Camera SDK stand-in (--replay too), and the loaded "
            "Camera SDK library is another one (the camera maker's?)\n");
        outcome->exitCode = kBadInput;
        return;
    }
    std::unique_ptr<Simulation> simulation;
    if (control && simulates(options))
    {
        simulation = std::make_unique<Simulation>(*control, simulationSpec);
        simulation->start();
    }
    watchForInterrupts();
    outcome->ok = runner->run(*library, watchTargets(options, simulationSpec));
    if (simulation)
    {
        simulation.reset();
        control->reset();
    }
    outcome->live = liveObjectsOf(*library);
    outcome->unloaded = outcome->live.plugin == 0 && PluginLibrary::unload(library->path());
    outcome->exitCode = 0;
}

int runWatch(const Options& options)
{
    WatchSettings settings;
    SimulationSpec simulation;
    if (!readWatchInputs(options, &settings, &simulation))
        return kBadInput;
    Report report(stdout, options.json);
    WatchRunner runner(options, settings, &report);
    WatchOutcome outcome;
    watchWithCapture(options, simulation, &runner, &outcome);
    interruptHandled();
    if (outcome.exitCode != 0)
        return outcome.exitCode;
    // Every line the plugin printed has been taken now, its session failures included.
    const bool allOpened = runner.reportSummary();
    if (!outcome.unloaded)
        report.addFailure("", "the plugin library could not be unloaded");
    const bool ok =
        reportLiveObjects(&report, outcome.live, outcome.ok && allOpened, options.logPath);
    return ok ? 0 : 1;
}

// --version: the plugin's version, from its manifest, and the SDK version the library
// reports; the plugin's own lines go to the log.
int printVersion(const Options& options)
{
    return runWithLibrary(options,
                          [&](const PluginLibrary& library, const DiagnosticsCapture&)
                          {
                              Report report(stdout, options.json);
                              PluginSession session(library, &report);
                              return session.startPlugin() ? 0 : 1;
                          });
}

// Whether everything printed on standard output reached it; says on standard error why
// not. A failed write sets the stream's error indicator, which stays set.
bool outputWritten()
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    const int error = errno;
    std::fprintf(stderr, "korvane_host: cannot write the standard output%s%s\n",
                 error != 0 ? ": " : "", error != 0 ? std::strerror(error) : "");
    return false;
}

int run(int argc, char** argv)
{
    Options options;
    std::string errorText;
    if (!parseCommandLine(argc, argv, &options, &errorText))
    {
        std::fprintf(stderr, "korvane_host: %s\n(korvane_host --help describes the options)\n",
                     errorText.c_str());
        return kBadInput;
    }
    if (options.mode == Options::Mode::kHelp)
    {
        std::fputs(helpText(), stdout);
        return 0;
    }
    std::error_code error;
    if (!options.pluginPath.empty() && !std::filesystem::is_regular_file(options.pluginPath, error))
    {
        std::fprintf(stderr, "korvane_host: --plugin %s: no such file\n",
                     options.pluginPath.c_str());
        return kBadInput;
    }
    if (options.pluginPath.empty())
        options.pluginPath = KORVANE_DEFAULT_PLUGIN_PATH;
    if (options.mode == Options::Mode::kVersion)
        return printVersion(options);
    if (options.mode == Options::Mode::kCaptureSummary ||
        options.mode == Options::Mode::kCaptureToSimulation)
    {
        return runCaptureMode(options);
    }
    // Before any camera is contacted.
    if (!readCameraPasswords(&options.cameras, &errorText))
    {
        std::fprintf(stderr, "korvane_host: %s\n", errorText.c_str());
        return kBadInput;
    }
    return options.mode == Options::Mode::kWatch ? runWatch(options) : runScenario(options);
}

}  // namespace

int main(int argc, char** argv)
{
    const int exitCode = run(argc, argv);
    return outputWritten() || exitCode == kBadInput ? exitCode : 1;
}
