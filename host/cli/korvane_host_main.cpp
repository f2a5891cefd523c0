// korvane_host: runs the Korvane plugin library as the server would, and prints what the
// server receives. Scenario mode plays a scenario step by step against the Camera SDK
// stand-in's simulated cameras; watch mode acts as the server in real time for real (or
// simulated) cameras. `korvane_host --help` describes both.
//
// The plugin's diagnostic lines go to the log file (default korvane_host.log; "-" for
// standard error), so the terminal shows the server's view. Scenarios, --simulate and
// --replay load the Camera SDK stand-in before the plugin; a watch of real cameras leaves
// the plugin the Camera SDK the loader finds for it. Exit code: 0 when every step succeeded
// and no object was left alive, 1 otherwise (standard output that could not be written
// among them), 2 for a bad command line or file.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "host/cli/camera_conditions.h"
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
#include "host/cli/tool_layout.h"
#include "host/cli/watch_runner.h"
#include "host/dynamic_library.h"
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

// Where the summary says the plugin's lines went.
std::string logName(const Options& options)
{
    return options.logPath == kLogToStandardError ? "standard error" : options.logPath;
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

// Whether the run plays the stand-in's simulated cameras: a scenario, --simulate, --replay.
bool usesStandIn(const Options& options)
{
    return options.mode == Options::Mode::kScenario || simulates(options);
}

// The library at the options' path, loaded; null with the reason printed on the terminal.
const PluginLibrary* openLibrary(const Options& options, const DiagnosticsCapture& capture)
{
    std::string errorText;
    const PluginLibrary* const library =
        PluginLibrary::open(options.pluginPath, PluginLibrary::kDefaultLibraryName, &errorText);
    if (library)
    {
        if (!options.testOptions.empty())
            library->setUnitTestOptions(options.testOptions);
        return library;
    }
    std::string text = "korvane_host: " + errorText + "\n";
    if (!usesStandIn(options) && std::ifstream(options.pluginPath))
    {
        text += "korvane_host: the plugin library needs the camera maker's Camera SDK, " +
                DynamicLibrary::fileName(kCameraSdkBaseName) + ", beside it\n";
    }
    capture.printToTerminal(text);
    return nullptr;
}

// The libraries of a run, loaded for good.
struct LoadedLibraries
{
    const PluginLibrary* plugin = nullptr;
    const ostrel::control::ControlTable* standIn = nullptr;  //< Null: real cameras only.
};

// Loads the stand-in when the run simulates cameras, then the plugin library, whose Camera
// SDK dependency then binds to the stand-in. 0, or the exit code when one cannot be loaded
// (2 for the stand-in, 1 for the plugin) with the reason printed on the terminal.
int loadLibraries(const Options& options, const DiagnosticsCapture& capture,
                  LoadedLibraries* loaded)
{
    if (usesStandIn(options))
    {
        std::string errorText;
        loaded->standIn = loadStandIn(standInPath(), &errorText);
        if (!loaded->standIn)
        {
            capture.printToTerminal("korvane_host: " + errorText +
                                    "\nkorvane_host: scenarios, --simulate and --replay need the "
                                    "Camera SDK stand-in (watch real cameras with --camera)\n");
            return kBadInput;
        }
    }
    loaded->plugin = openLibrary(options, capture);
    return loaded->plugin ? 0 : 1;
}

// Names the Camera SDK library that the plugin calls, as the loader found it.
void noteCameraSdk(const PluginLibrary& library, Report* report)
{
    report->note(cameraSdkEntry(library.dependencyPath(kCameraSdkBaseName, kCameraSdkEntryPoint)));
}

// Sends the plugin's lines to the log (and to `onLine`, when set) and loads the libraries for
// `run(loaded)`; its exit code, or 1 or 2 when the log or a library cannot be opened. When it
// returns, `onLine` has had every line.
template <typename Run>
int runWithLibraries(const Options& options, DiagnosticsCapture::LineHandler onLine, Run run)
{
    DiagnosticsCapture capture(options.logPath, std::move(onLine));
    if (!capture.ok())
    {
        std::fprintf(stderr, "korvane_host: cannot write %s\n", options.logPath.c_str());
        return kBadInput;
    }
    LoadedLibraries loaded;
    const int exitCode = loadLibraries(options, capture, &loaded);
    return exitCode != 0 ? exitCode : run(loaded);
}

// Reads the scenario that the options name, or the built-in one; false with why printed.
bool readScenario(const Options& options, Scenario* scenario)
{
    if (!options.scenarioPath.empty())
        return readInput(options.scenarioPath, &parseScenario, scenario);
    std::string errorText;
    if (parseScenario(defaultScenarioText(), scenario, &errorText))
        return true;
    std::fprintf(stderr, "korvane_host: %s\n", errorText.c_str());
    return false;
}

// How a scenario run went, up to the summary.
struct ScenarioOutcome
{
    bool ran = false;
    bool ok = false;
    LiveObjects live;
};

int runScenario(const Options& options)
{
    Scenario scenario;
    if (!readScenario(options, &scenario))
        return kBadInput;
    // The lines of the cameras' agents say whether each camera can deliver.
    CameraConditions conditions("[" + std::string(PluginLibrary::kDefaultLibraryName) + "_device_");
    const auto takeLine = [&conditions](const std::string& line)
    {
        std::string name, text;
        conditions.addLine(line, &name, &text);
    };
    Report report(stdout, options.json);
    ScenarioOutcome outcome;
    const int exitCode = runWithLibraries(
        options, takeLine,
        [&](const LoadedLibraries& loaded)
        {
            {
                ScenarioRunner runner(*loaded.plugin, *loaded.standIn, &report, &conditions);
                outcome.ok = runner.run(scenario);
            }
            loaded.standIn->reset();
            outcome.live = liveObjectsOf(*loaded.plugin);
            outcome.ran = true;
            return 0;
        });
    if (!outcome.ran)
        return exitCode;
    // Every line has been taken now. A camera whose session never opened is the scenario's
    // own doing (a wrong password, a missing camera); one that ends unable to deliver
    // otherwise fails the run.
    for (const CameraSpec& camera : scenario.cameras)
    {
        for (const std::string& failure : conditions.failures(camera.name, false))
            report.addFailure(camera.name, failure), outcome.ok = false;
    }
    return reportLiveObjects(&report, outcome.live, outcome.ok, logName(options)) ? 0 : 1;
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
    simulation->endsWhenPlayed = options.simulationPath.empty();  //< A replay.
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
                      WatchRunner* runner, Report* report, WatchOutcome* outcome)
{
    DiagnosticsCapture capture(
        options.logPath, [runner](const std::string& line) { runner->addDiagnosticLine(line); });
    if (!capture.ok())
    {
        std::fprintf(stderr, "korvane_host: cannot write %s\n", options.logPath.c_str());
        outcome->exitCode = kBadInput;
        return;
    }
    LoadedLibraries loaded;
    outcome->exitCode = loadLibraries(options, capture, &loaded);
    if (outcome->exitCode != 0)
        return;
    outcome->exitCode = 1;  //< Until the run has ended.
    const PluginLibrary* const library = loaded.plugin;
    const ostrel::control::ControlTable* const control = loaded.standIn;
    noteCameraSdk(*library, report);
    std::unique_ptr<Simulation> simulation;
    if (control)
    {
        simulation = std::make_unique<Simulation>(
            *control, simulationSpec,
            [runner](const CameraSpec& camera, int32_t code, int64_t timeSeconds)
            { runner->addCameraAlarm(camera.address, camera.port, code, timeSeconds); });
        simulation->start();
    }
    watchForInterrupts();
    runner->setLineDrain([&capture] { capture.drain(); });
    outcome->ok = runner->run(*library, watchTargets(options, simulationSpec), simulation.get());
    runner->setLineDrain(nullptr);
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
    watchWithCapture(options, simulation, &runner, &report, &outcome);
    interruptHandled();
    if (outcome.exitCode != 0)
        return outcome.exitCode;
    // Every line the plugin printed has been taken now, its session failures included.
    const bool allDeliver = runner.reportSummary();
    if (!outcome.unloaded)
        report.addFailure("", "the plugin library could not be unloaded");
    const bool ok =
        reportLiveObjects(&report, outcome.live, outcome.ok && allDeliver, logName(options));
    return ok ? 0 : 1;
}

// --version: the Camera SDK library that the plugin calls, the plugin's version, from its
// manifest, and the server plugin SDK version the library reports. The log is left as it is,
// with the lines of the last run: the plugin's lines are shown on the terminal when the
// plugin is refused, and dropped otherwise.
int printVersion(const Options& options)
{
    std::string pluginLines;  //< Filled on the capture's reader; read once it has ended.
    int exitCode = 1;
    {
        DiagnosticsCapture capture(
            kNoLog, [&pluginLines](const std::string& line) { pluginLines += line + "\n"; });
        if (!capture.ok())
        {
            std::fprintf(stderr, "korvane_host: cannot capture the plugin's lines\n");
            return kBadInput;
        }
        LoadedLibraries loaded;
        if (loadLibraries(options, capture, &loaded) != 0)
            return 1;
        Report report(stdout, options.json);
        noteCameraSdk(*loaded.plugin, &report);
        PluginSession session(*loaded.plugin, &report);
        exitCode = session.startPlugin() ? 0 : 1;
    }
    if (exitCode != 0)
        std::fputs(pluginLines.c_str(), stderr);
    return exitCode;
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
        options.pluginPath = defaultPluginPath();
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
