#include "command_line.h"

#include <cstdlib>
#include <functional>
#include <map>

namespace korvane::host::cli
{

namespace
{

// A whole decimal number in [minimum, maximum]; false otherwise.
bool parseNumber(const std::string& text, int minimum, int maximum, int* value)
{
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < minimum || number > maximum)
        return false;
    *value = static_cast<int>(number);
    return true;
}

using ValueOption = std::function<bool(Options*, const std::string&)>;

// The options that take a value, and how each is stored.
const std::map<std::string, ValueOption>& valueOptions()
{
    static const std::map<std::string, ValueOption> kOptions = {
        {"--log", [](Options* o, const std::string& v) { return o->logPath = v, true; }},
        {"--plugin", [](Options* o, const std::string& v) { return o->pluginPath = v, true; }},
        {"--camera",
         [](Options* o, const std::string& v)
         {
             o->cameras.emplace_back();
             o->cameras.back().url = v;
             return true;
         }},
        {"--simulate",
         [](Options* o, const std::string& v) { return o->simulationPath = v, true; }},
        {"--settings", [](Options* o, const std::string& v) { return o->settingsPath = v, true; }},
        {"--apply", [](Options* o, const std::string& v) { return o->applyPath = v, true; }},
        {"--rules-svg",
         [](Options* o, const std::string& v) { return o->rulesSvgPath = v, o->rules = true; }},
        {"--seconds",
         [](Options* o, const std::string& v) { return parseNumber(v, 1, 31536000, &o->seconds); }},
        {"--fps",
         [](Options* o, const std::string& v) { return parseNumber(v, 1, 1000, &o->fps); }},
        {"--replay", [](Options* o, const std::string& v) { return o->capturePath = v, true; }},
        {"--speed",
         [](Options* o, const std::string& v) { return parseNumber(v, 1, 1000, &o->speed); }},
    };
    return kOptions;
}

// The options that describe the camera named last.
bool parseCameraOption(const std::string& name, const std::string& value, CameraOption* camera)
{
    if (name == "--login")
        return camera->login = value, camera->hasLogin = true;
    if (name == "--password" && value == "-")
        return camera->passwordFromInput = true, camera->hasPassword = true;
    if (name == "--password")
        return camera->password = value, camera->hasPassword = true;
    if (name == "--password-file")
        return camera->passwordFile = value, camera->hasPassword = !value.empty();
    if (name == "--id")
        return camera->id = value, !value.empty();
    if (name == "--channel")
        return parseNumber(value, 0, 65535, &camera->channel);
    return false;
}

bool isCameraOption(const std::string& name)
{
    return name == "--login" || name == "--password" || name == "--password-file" ||
           name == "--id" || name == "--channel";
}

// Whether the options of one mode were mixed with the other's.
bool checkMode(Options* options, bool watchOptionSeen, std::string* errorText)
{
    const bool watch = !options->cameras.empty() || !options->simulationPath.empty() ||
                       !options->capturePath.empty();
    if (!options->simulationPath.empty() && !options->capturePath.empty())
        *errorText = "Give either --simulate or --replay";
    if (watch && !options->scenarioPath.empty())
        *errorText = "A scenario file cannot be watched: give either a scenario or cameras";
    else if (!watch && watchOptionSeen)
        *errorText = "Watch options need --camera or --simulate";
    for (const CameraOption& camera : options->cameras)
    {
        if (!camera.hasLogin || !camera.hasPassword)
            *errorText =
                "The camera " + camera.url + " needs --login and --password (or --password-file)";
    }
    options->mode = watch ? Options::Mode::kWatch : Options::Mode::kScenario;
    return errorText->empty();
}

}  // namespace

bool parseCommandLine(int argc, const char* const* argv, Options* options, std::string* errorText)
{
    errorText->clear();
    bool watchOptionSeen = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        const auto option = valueOptions().find(argument);
        if (argument == "--help" || argument == "-h")
        {
            options->mode = Options::Mode::kHelp;
            return true;
        }
        if (argument == "--version")
        {
            options->mode = Options::Mode::kVersion;
            continue;  //< --plugin and --log still apply.
        }
        if (argument == "--json")
        {
            options->json = true;
        }
        else if ((argument == "--capture-summary" || argument == "--capture-to-simulation") &&
                 hasValue)
        {
            options->capturePath = argv[++i];
            options->mode = argument == "--capture-summary" ? Options::Mode::kCaptureSummary
                                                            : Options::Mode::kCaptureToSimulation;
        }
        else if (argument == "--loop")
        {
            options->loop = watchOptionSeen = true;
        }
        else if (argument == "--rules")
        {
            options->rules = watchOptionSeen = true;
        }
        else if (option != valueOptions().end() && hasValue)
        {
            if (!option->second(options, argv[++i]))
                *errorText = "Bad value for " + argument + ": " + argv[i];
            watchOptionSeen = watchOptionSeen || (argument != "--log" && argument != "--plugin");
        }
        else if (isCameraOption(argument) && hasValue)
        {
            if (options->cameras.empty())
                *errorText = argument + " must follow the --camera it belongs to";
            else if (!parseCameraOption(argument, argv[++i], &options->cameras.back()))
                *errorText = "Bad value for " + argument + ": " + argv[i];
        }
        else if (!argument.empty() && argument[0] != '-' && options->scenarioPath.empty())
        {
            options->scenarioPath = argument;
        }
        else
        {
            *errorText = "Unknown or incomplete option: " + argument;
        }
        if (!errorText->empty())
            return false;
    }
    if (options->mode == Options::Mode::kCaptureSummary ||
        options->mode == Options::Mode::kCaptureToSimulation)
    {
        if (watchOptionSeen || !options->scenarioPath.empty())
            *errorText = "A capture is summarised or converted alone (with --json at most)";
        return errorText->empty();
    }
    if (options->mode == Options::Mode::kVersion)
        return true;
    return checkMode(options, watchOptionSeen, errorText);
}

std::string urlHost(const std::string& url)
{
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos)
        return url;
    const size_t begin = scheme + 3;
    const std::string authority = url.substr(begin, url.find('/', begin) - begin);
    return authority.substr(0, authority.rfind(':'));
}

const char* helpText()
{
    return R"(usage:
  korvane_host [--json] [--log FILE] [--plugin LIBRARY] [SCENARIO.json]
  korvane_host --camera URL --login NAME (--password-file FILE | --password - | --password TEXT)
               [--channel N] [--id ID]
               [--camera URL ...]... [--settings FILE.json] [--rules] [--rules-svg FILE]
               [--apply FILE.json] [--seconds N] [--fps N] [--json] [--log FILE]
               [--plugin LIBRARY]
  korvane_host --simulate FILE.json [--speed N] [--loop] [...the same options...]
  korvane_host --replay CAPTURE.jsonl [--speed N] [--loop] [...the same options...]
  korvane_host --capture-summary CAPTURE.jsonl [--json]
  korvane_host --capture-to-simulation CAPTURE.jsonl
  korvane_host --help | --version

Scenario mode plays SCENARIO.json (or the built-in scenario) step by step against the
Camera SDK stand-in's simulated cameras and prints what the server receives.

Watch mode acts as the server in real time: it loads the plugin, binds each camera (a
device agent with the camera's URL, login, password and channel), sends one settings
delivery (the settings page's defaults with the values of --settings laid over them), then
pushes empty video frames and prints every event and object as it arrives, until --seconds
have passed or Ctrl-C. One settings delivery never writes rules to a camera: watching does
not change a camera, unless --apply is given.

  --camera URL        a camera to watch, e.g. http://192.168.1.20:80/; the options after it
                      until the next --camera describe it
  --login NAME        the camera's login name, as the server would hold it
  --password-file FILE  the camera's password: the first line of FILE (keep the file
                      readable by you alone)
  --password -        the camera's password, typed without being shown (read from standard
                      input when it is not a terminal)
  --password TEXT     the camera's password on the command line, for scripts; every user of
                      the machine can see it (ps, the shell's history): prefer the two above
  --channel N         the server's channel number of the camera (default 0)
  --id ID             the device id (default: the URL's host)
  --simulate FILE     puts the stand-in's simulated cameras into the process, delivering
                      by themselves ({"cameras": [...], "activity": [...]}); without
                      --camera every simulated camera is watched. Needs the stand-in's
                      Camera SDK library.
  --replay CAPTURE    like --simulate, with the cameras of a capture of the recording Camera
                      SDK: their channels, capabilities, rules and switches as they last
                      reported them, their alarms and detections at their captured times,
                      and their failed calls failing again; any password is accepted
  --speed N           plays a simulation or a replay N times faster (default 1)
  --loop              starts a replay's (or a simulation's timed) activity again at its end
  --settings FILE     a JSON object of settings laid over the defaults
  --rules             prints each camera's smart rules and switches as the settings page
                      would show them
  --rules-svg FILE    also draws them in one SVG file, a frame per camera
  --apply FILE        WRITES TO THE CAMERA: sends a second settings delivery (the first one's
                      values, then the camera's rules as read, then FILE's values), which
                      writes the smart rules and switches to the camera as the server does
                      when the user saves the settings page
  --seconds N         stops after N seconds (default: at Ctrl-C)
  --fps N             video frames per second and camera (default 30)

Reading a capture of the recording Camera SDK (a truncated last line is noted and ends
it; anything else that is not a capture is refused with its line, exit 2):
  --capture-summary CAPTURE    per camera: sessions and failed logins, channels, rule
                      capabilities, alarm codes with counts (codes the plugin does not know
                      marked), detections, rule and switch calls, failed calls (--json too)
  --capture-to-simulation CAPTURE  prints the --simulate file that --replay plays

Both modes:
  --json              JSON Lines instead of text, one object per line with atMs, camera, kind
  --log FILE          where the plugin's diagnostic lines go (default korvane_host.log;
                      - for standard error); in watch mode its error lines are also shown
                      beside the camera
  --plugin LIBRARY    the plugin library to load (default: the one built beside the host)
  --version           prints the Camera SDK library the plugin loaded, the plugin's version
                      and the server plugin SDK version it reports; touches no log

Exit status: 0 when every step succeeded (in watch mode: every camera's session opened, every
settings delivery reached its camera and the run ended after --seconds or at Ctrl-C) and
nothing was left alive; 1 otherwise, and the summary says what failed; 2 for a bad command
line or file (a password file that is missing, unreadable or empty among them).
)";
}

}  // namespace korvane::host::cli
