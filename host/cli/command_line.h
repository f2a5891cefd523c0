// The command line of korvane_host: its modes, their options and the help text.
//
// Values only; parsing is a pure function of the arguments.

#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace korvane::host::cli
{

// A camera named on the command line, as the server knows it.
struct CameraOption
{
    std::string url;
    std::string login;
    std::string password;
    int32_t channel = 0;
    std::string id;  //< Empty: the URL's host text.
    bool hasLogin = false;
    bool hasPassword = false;        //< One of the three password options was given.
    std::string passwordFile;        //< Set: the password is the file's first line.
    bool passwordFromInput = false;  //< The password is typed (--password -).
};

struct Options
{
    enum class Mode
    {
        kScenario,  //< Plays a scenario file (or the built-in one) step by step.
        kWatch,     //< Acts as the server in real time for the cameras named.
        kHelp,
        kVersion,
        kCaptureSummary,       //< Prints what a capture holds, per camera.
        kCaptureToSimulation,  //< Prints the simulation file that replays a capture.
    };

    Mode mode = Mode::kScenario;
    bool json = false;
    std::string logPath = "korvane_host.log";
    std::string pluginPath;  //< Empty: the plugin library built beside the host.
    std::string scenarioPath;
    // Passed to the library's nxSetUnitTestOptions before its plugin is created (tests).
    std::map<std::string, std::string> testOptions;

    // Watch mode.
    std::vector<CameraOption> cameras;
    std::string simulationPath;
    std::string capturePath;  //< --replay, --capture-summary or --capture-to-simulation.
    int speed = 1;            //< A simulation or replay plays this many times faster.
    bool loop = false;        //< Its timed entries start again at the end.
    std::string settingsPath;
    std::string applyPath;
    std::string rulesSvgPath;
    bool rules = false;
    int seconds = 0;  //< 0: until interrupted.
    int fps = 30;
};

// Whether the run puts simulated cameras into the process (--simulate or --replay).
inline bool simulates(const Options& options)
{
    return !options.simulationPath.empty() ||
           (options.mode == Options::Mode::kWatch && !options.capturePath.empty());
}

// Reads the arguments; false with `*errorText` set for a bad command line.
bool parseCommandLine(int argc, const char* const* argv, Options* options, std::string* errorText);

// The host text of a camera URL ("10.0.0.1" of "http://admin:pw@10.0.0.1:8000/path"; an
// IPv6 address keeps its brackets); the whole text, but for its user information, when it
// has no "://". The user information ("user:password@") ends at the last "@" before any
// "?" or "#": a password may hold "@" or "/".
std::string urlHost(const std::string& url);

// The URL without its user information, as the host may show it.
std::string redactedUrl(const std::string& url);

// The port of a camera URL, as the plugin reads it: the number after the host text's last
// ':' (8000 of "http://10.0.0.1:8000/path"), 80 when there is none.
int32_t urlPort(const std::string& url);

// What `korvane_host --help` prints.
const char* helpText();

}  // namespace korvane::host::cli
