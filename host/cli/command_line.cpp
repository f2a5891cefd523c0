#include "command_line.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

#include "host/cli/json_fields.h"

namespace korvane::host::cli
{

namespace
{

// What a value option does with its value: stores it and returns "", or returns what the
// option allows when the value is not that.
using ValueOption = std::function<std::string(Options*, const std::string&)>;

// A whole decimal number in [minimum, maximum] into `*value`; "" or what is allowed.
std::string parseNumber(const std::string& text, int minimum, int maximum, int* value)
{
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < minimum || number > maximum)
    {
        return wholeNumberText(minimum, maximum);
    }
    *value = static_cast<int>(number);
    return "";
}

// A stored text option.
ValueOption text(std::string Options::*member)
{
    return [member](Options* o, const std::string& v) { return o->*member = v, std::string(); };
}

ValueOption number(int Options::*member, int minimum, int maximum)
{
    return [=](Options* o, const std::string& v)
    { return parseNumber(v, minimum, maximum, &(o->*member)); };
}

// The options that take a value, and how each is stored.
const std::map<std::string, ValueOption>& valueOptions()
{
    static const std::map<std::string, ValueOption> kOptions = {
        {"--log", text(&Options::logPath)},
        {"--plugin", text(&Options::pluginPath)},
        {"--camera",
         [](Options* o, const std::string& v)
         {
             if (urlHost(v).empty())
                 return std::string("a camera URL with a host, e.g. http://192.168.1.20:80/");
             o->cameras.emplace_back();
             o->cameras.back().url = v;
             return std::string();
         }},
        {"--simulate", text(&Options::simulationPath)},
        {"--settings", text(&Options::settingsPath)},
        {"--apply", text(&Options::applyPath)},
        {"--rules-svg",
         [](Options* o, const std::string& v)
         {
             o->rulesSvgPath = v;
             o->rules = true;
             return std::string();
         }},
        {"--seconds", number(&Options::seconds, 1, 31536000)},
        {"--fps", number(&Options::fps, 1, 1000)},
        {"--replay", text(&Options::capturePath)},
        {"--speed", number(&Options::speed, 1, 1000)},
        {"--test-option",
         [](Options* o, const std::string& v)
         {
             const size_t equals = v.find('=');
             if (equals == 0 || equals == std::string::npos)
                 return std::string("NAME=VALUE");
             o->testOptions[v.substr(0, equals)] = v.substr(equals + 1);
             return std::string();
         }},
    };
    return kOptions;
}

// The options that describe the camera named last; "" or what the option allows.
std::string parseCameraOption(const std::string& name, const std::string& value,
                              CameraOption* camera)
{
    if (name == "--login")
        camera->login = value;
    else if (name == "--password" && value == "-")
        camera->passwordFromInput = true;
    else if (name == "--password")
        camera->password = value;
    else if (name == "--password-file")
        camera->passwordFile = value;
    else if (name == "--id")
        camera->id = value;
    else if (name == "--channel")
        return parseNumber(value, 0, 65535, &camera->channel);
    return "";
}

bool isCameraOption(const std::string& name)
{
    return name == "--login" || name == "--password" || name == "--password-file" ||
           name == "--id" || name == "--channel";
}

bool isFlag(const std::string& name)
{
    return name == "--help" || name == "-h" || name == "--version" || name == "--json" ||
           name == "--loop" || name == "--rules";
}

bool isCaptureMode(const std::string& name)
{
    return name == "--capture-summary" || name == "--capture-to-simulation";
}

// Whether a separate argument is an option rather than a value.
bool looksLikeOption(const std::string& argument)
{
    return argument.rfind("--", 0) == 0 || argument == "-h";
}

// Reads the arguments one by one; the first bad one ends the reading.
class Parser
{
public:
    Parser(int argc, const char* const* argv, Options* options, std::string* errorText)
        : m_argc(argc), m_argv(argv), m_options(options), m_errorText(errorText)
    {
    }

    void parse()
    {
        for (m_next = 1;
             m_next < m_argc && m_errorText->empty() && m_options->mode != Options::Mode::kHelp;)
        {
            parseArgument(m_argv[m_next++]);
        }
    }

    bool watchOptionSeen() const { return m_watchOptionSeen; }

private:
    void parseArgument(const std::string& argument);
    void parseFlag(const std::string& name);
    bool takeValue(const std::string& name, bool inline_, std::string* value);
    void parseCameraValue(const std::string& name, const std::string& value);

    const int m_argc;
    const char* const* const m_argv;
    Options* const m_options;
    std::string* const m_errorText;
    int m_next = 1;
    bool m_watchOptionSeen = false;
    // The camera options given since the last --camera, by what they set: "--password"
    // stands for all three password options.
    std::map<std::string, std::string> m_cameraOptionsGiven;
};

void Parser::parseArgument(const std::string& argument)
{
    const size_t equals = argument.rfind("--", 0) == 0 ? argument.find('=') : std::string::npos;
    const std::string name = argument.substr(0, equals);
    std::string value = equals == std::string::npos ? "" : argument.substr(equals + 1);
    const auto option = valueOptions().find(name);
    const bool takesValue =
        option != valueOptions().end() || isCameraOption(name) || isCaptureMode(name);
    if (isFlag(name) && equals != std::string::npos)
        *m_errorText = name + " takes no value";
    else if (isFlag(name))
        parseFlag(name);
    else if (!takesValue && !argument.empty() && argument[0] != '-' &&
             m_options->scenarioPath.empty())
        m_options->scenarioPath = argument;
    else if (!takesValue && !argument.empty() && argument[0] != '-')
        *m_errorText = "A second scenario file: " + argument;
    else if (!takesValue)
        *m_errorText = "Unknown option: " + name;
    else if (!takeValue(name, equals != std::string::npos, &value))
        return;
    else if (isCameraOption(name))
        parseCameraValue(name, value);
    else if (isCaptureMode(name))
    {
        m_options->capturePath = value;
        m_options->mode = name == "--capture-summary" ? Options::Mode::kCaptureSummary
                                                      : Options::Mode::kCaptureToSimulation;
    }
    else if (const std::string allowed = option->second(m_options, value); !allowed.empty())
    {
        *m_errorText = "Bad value for " + name + ": " +
                       (name == "--camera" ? redactedUrl(value) : value) + " (" + allowed + ")";
    }
    else if (name == "--camera")
        m_cameraOptionsGiven.clear();
    if (option != valueOptions().end() && name != "--log" && name != "--plugin" &&
        name != "--test-option")
        m_watchOptionSeen = true;
}

void Parser::parseFlag(const std::string& name)
{
    if (name == "--help" || name == "-h")
        m_options->mode = Options::Mode::kHelp;
    else if (name == "--version")
        m_options->mode = Options::Mode::kVersion;  //< --plugin and --log still apply.
    else if (name == "--json")
        m_options->json = true;
    else if (name == "--loop")
        m_options->loop = m_watchOptionSeen = true;
    else if (name == "--rules")
        m_options->rules = m_watchOptionSeen = true;
}

// The value of the option `name`: after its "=" (`inline_`) or the next argument. False with
// the error set when there is none: the end of the arguments, an empty value, or another
// option. A value after --password is never named, lest a mistyped password be shown.
bool Parser::takeValue(const std::string& name, bool inline_, std::string* value)
{
    const bool password = name == "--password";
    if (!inline_ && m_next < m_argc)
    {
        *value = m_argv[m_next];
        const bool option = looksLikeOption(*value) || (password && (*value)[0] == '-');
        if (option && *value != "-")
            value->clear();
        else
            ++m_next;
    }
    if (!value->empty())
        return true;
    *m_errorText = name + " needs a value";
    if (password && !inline_ && m_next < m_argc)
        *m_errorText +=
            ", and another option follows it (give --password=TEXT for a password "
            "that starts with \"-\")";
    return false;
}

void Parser::parseCameraValue(const std::string& name, const std::string& value)
{
    if (m_options->cameras.empty())
    {
        *m_errorText = name + " must follow the --camera it belongs to";
        return;
    }
    CameraOption* const camera = &m_options->cameras.back();
    const std::string what = name.rfind("--password", 0) == 0 ? "--password" : name;
    const auto [given, first] = m_cameraOptionsGiven.emplace(what, name);
    const std::string url = redactedUrl(camera->url);
    if (!first && what == "--password")
    {
        *m_errorText = "The camera " + url + " has two passwords (" + given->second + " and " +
                       name + "): give one";
    }
    else if (!first)
        *m_errorText = "The camera " + url + " has " + name + " twice: give it once";
    else if (const std::string allowed = parseCameraOption(name, value, camera); !allowed.empty())
        *m_errorText = "Bad value for " + name + ": " + value + " (" + allowed + ")";
    camera->hasLogin = camera->hasLogin || name == "--login";
    camera->hasPassword = camera->hasPassword || what == "--password";
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
        {
            *errorText = "The camera " + redactedUrl(camera.url) +
                         " needs --login and --password (or --password-file)";
        }
    }
    options->mode = watch ? Options::Mode::kWatch : Options::Mode::kScenario;
    return errorText->empty();
}

// Where the host of a URL begins and ends: after "scheme://" and any user information (up
// to its last "@", which may well be in a password, before any "?" or "#"), up to the next
// "/", "?" or "#".
struct HostSpan
{
    size_t authority = 0;  //< Where the user information, if any, begins.
    size_t begin = 0;
    size_t end = 0;
};

HostSpan hostSpan(const std::string& url)
{
    HostSpan span;
    const size_t scheme = url.find("://");
    span.authority = scheme == std::string::npos ? 0 : scheme + 3;
    const size_t query = url.find_first_of("?#", span.authority);
    const size_t at = url.rfind('@', query == std::string::npos ? query : query - 1);
    span.begin = at != std::string::npos && at >= span.authority ? at + 1 : span.authority;
    span.end = std::min(url.find_first_of("/?#", span.begin), url.size());
    return span;
}

}  // namespace

bool parseCommandLine(int argc, const char* const* argv, Options* options, std::string* errorText)
{
    errorText->clear();
    Parser parser(argc, argv, options, errorText);
    parser.parse();
    if (!errorText->empty())
        return false;
    if (options->mode == Options::Mode::kHelp || options->mode == Options::Mode::kVersion)
        return true;
    if (options->mode == Options::Mode::kCaptureSummary ||
        options->mode == Options::Mode::kCaptureToSimulation)
    {
        if (parser.watchOptionSeen() || !options->scenarioPath.empty())
            *errorText = "A capture is summarised or converted alone (with --json at most)";
        return errorText->empty();
    }
    return checkMode(options, parser.watchOptionSeen(), errorText);
}

std::string redactedUrl(const std::string& url)
{
    const HostSpan span = hostSpan(url);
    return url.substr(0, span.authority) + url.substr(span.begin);
}

std::string urlHost(const std::string& url)
{
    const HostSpan span = hostSpan(url);
    if (url.find("://") == std::string::npos)
        return url.substr(span.begin);
    const std::string host = url.substr(span.begin, span.end - span.begin);
    if (!host.empty() && host[0] == '[')  //< An IPv6 address: "[::1]:8000".
        return host.substr(0, host.find(']') + 1);
    return host.substr(0, host.rfind(':'));
}

int32_t urlPort(const std::string& url)
{
    const HostSpan span = hostSpan(url);
    std::string host = url.substr(span.begin, span.end - span.begin);
    if (!host.empty() && host[0] == '[')  //< The port follows an IPv6 address's bracket.
        host = host.substr(std::min(host.find(']'), host.size()));
    const size_t colon = host.rfind(':');
    return colon == std::string::npos
               ? 80
               : static_cast<int32_t>(std::strtol(host.c_str() + colon + 1, nullptr, 10));
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

An option's value is given as --name VALUE or --name=VALUE; one that starts with "--" (a
password that starts with "-", but for "-" itself) only as --name=VALUE. A camera takes
each of its options once, and one of the three password options.

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
  --channel N         the server's channel number of the camera (0 to 65535, default 0)
  --id ID             the device id (default: the URL's host; a URL's user information,
                      "user:password@", is never shown)
  --simulate FILE     puts the stand-in's simulated cameras into the process, delivering
                      by themselves ({"cameras": [...], "activity": [...]}, outages among
                      the activity); without --camera every simulated camera is watched.
                      Needs the stand-in's Camera SDK library.
  --replay CAPTURE    like --simulate, with the cameras of a capture of the recording Camera
                      SDK: their channels, capabilities, rules and switches as they last
                      reported them, their alarms and detections at their captured times,
                      their failed calls failing again and their lost sessions lost again;
                      any password is accepted. Ends when the capture has played.
  --speed N           plays a simulation or a replay N times faster (1 to 1000, default 1)
  --loop              starts a replay's (or a simulation's timed) activity again at its end
  --settings FILE     a JSON object of settings laid over the defaults
  --rules             prints each camera's smart rules and switches as the settings page
                      would show them
  --rules-svg FILE    also draws them in one SVG file, a frame per camera, the kinds' colours
                      in a legend; a kind switched off on the camera is drawn dashed and grey
  --apply FILE        WRITES TO THE CAMERA: sends a second settings delivery (the first one's
                      values, then the camera's rules as read, then FILE's values), which
                      writes the smart rules and switches to the camera as the server does
                      when the user saves the settings page
  --seconds N         stops after N seconds (1 to 31536000; default: at Ctrl-C)
  --fps N             video frames per second and camera (1 to 1000, default 30)

Reading a capture of the recording Camera SDK (a truncated last line is noted and ends
it; anything else that is not a capture is refused with its line, exit 2):
  --capture-summary CAPTURE    per camera: sessions (opened, lost, opened again) and
                      failed logins, channels, rule
                      capabilities, alarm codes with counts (codes the plugin does not know
                      marked), detections, rule and switch calls, failed calls (--json too)
  --capture-to-simulation CAPTURE  prints the --simulate file that --replay plays

Both modes:
  --json              JSON Lines instead of text, one object per line with atMs, camera, kind
  --log FILE          where the plugin's diagnostic lines go (default korvane_host.log;
                      - for standard error); in watch mode its error lines, and the lines
                      saying that a failed session, alarm callback or capability read works
                      again, are also shown beside the camera
  --plugin LIBRARY    the plugin library to load (default: the one built beside the host)
  --test-option NAME=VALUE  for tests: passed to the plugin library's nxSetUnitTestOptions
                      before its plugin is created (sessionFrameGapMs=2000 shortens the
                      plugin's frame gap, for one); repeatable
  --version           prints the Camera SDK library the plugin loaded, the plugin's version
                      and the server plugin SDK version it reports; touches no log

Exit status: 0 when every step succeeded (in watch mode: every camera's session is open at
the end, with its alarm callback and smart-rule capabilities, every settings delivery reached
its camera, and the run ended after --seconds, at Ctrl-C or once a replay had played; in
scenario mode: every camera whose session opened can still deliver at the end) and nothing
was left alive; 1 otherwise, and the summary says what failed (standard output that
cannot be written ends the run with 1 and a line on standard error); 2 for a bad command
line or file (a password file that is missing, unreadable or empty, a --plugin that names no
file among them).
)";
}

}  // namespace korvane::host::cli
