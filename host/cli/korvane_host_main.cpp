// korvane_host: runs the Korvane plugin library as the server would, against simulated
// cameras, and prints what the server receives.
//
//   korvane_host [--json] [--log FILE] [--plugin LIBRARY] [SCENARIO.json]
//
// Without a scenario file the built-in default runs. The plugin's diagnostic lines go to
// the log file (default korvane_host.log), so the terminal shows the server's view. The
// exit code is 0 only when every step succeeded and no object was left alive.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include <ostrel_control.h>

#include "host/cli/report.h"
#include "host/cli/scenario.h"
#include "host/cli/scenario_runner.h"
#include "host/object_tracker.h"
#include "host/plugin_library.h"

namespace
{

using namespace korvane::host;
using namespace korvane::host::cli;

struct Options
{
    bool json = false;
    std::string logPath = "korvane_host.log";
    std::string pluginPath = KORVANE_DEFAULT_PLUGIN_PATH;
    std::string scenarioPath;
};

constexpr const char* kUsage =
    "usage: korvane_host [--json] [--log FILE] [--plugin LIBRARY] [SCENARIO.json]\n";

bool parseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--json")
            options->json = true;
        else if (argument == "--log" && i + 1 < argc)
            options->logPath = argv[++i];
        else if (argument == "--plugin" && i + 1 < argc)
            options->pluginPath = argv[++i];
        else if (!argument.empty() && argument[0] != '-' && options->scenarioPath.empty())
            options->scenarioPath = argument;
        else
            return false;
    }
    return true;
}

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

// Sends the process's standard error stream, where the plugin prints, to a file, keeping
// the terminal's stream for the host's own messages.
class DiagnosticsRedirect
{
public:
    explicit DiagnosticsRedirect(const std::string& path)
        : m_savedStderr(dup(STDERR_FILENO)),
          m_log(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644))
    {
        if (m_log >= 0)
            dup2(m_log, STDERR_FILENO);
    }

    ~DiagnosticsRedirect()
    {
        std::fflush(stderr);
        std::cerr.flush();
        if (m_savedStderr >= 0)
            dup2(m_savedStderr, STDERR_FILENO);
        if (m_log >= 0)
            close(m_log);
        if (m_savedStderr >= 0)
            close(m_savedStderr);
    }

    bool ok() const { return m_log >= 0; }

    // The terminal's standard error stream, for the host's own messages.
    int terminal() const { return m_savedStderr; }

private:
    const int m_savedStderr;
    const int m_log;
};

void printToTerminal(int fd, const std::string& text)
{
    if (write(fd, text.data(), text.size()) < 0)
        return;  //< Nowhere left to say it.
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, &options))
    {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::string text = defaultScenarioText();
    if (!options.scenarioPath.empty() && !readFile(options.scenarioPath, &text))
    {
        std::fprintf(stderr, "korvane_host: cannot read %s\n", options.scenarioPath.c_str());
        return 2;
    }
    Scenario scenario;
    std::string errorText;
    if (!parseScenario(text, &scenario, &errorText))
    {
        std::fprintf(stderr, "korvane_host: %s\n", errorText.c_str());
        return 2;
    }

    int exitCode = 0;
    {
        DiagnosticsRedirect diagnostics(options.logPath);
        if (!diagnostics.ok())
        {
            std::fprintf(stderr, "korvane_host: cannot write %s\n", options.logPath.c_str());
            return 2;
        }
        const PluginLibrary* const library =
            PluginLibrary::open(options.pluginPath, PluginLibrary::kDefaultLibraryName, &errorText);
        if (!library)
        {
            printToTerminal(diagnostics.terminal(), "korvane_host: " + errorText + "\n");
            return 1;
        }
        Report report(stdout, options.json);
        bool ok = false;
        {
            ScenarioRunner runner(*library, &report);
            ok = runner.run(scenario);
        }
        ostrel::control::reset();
        const int pluginLive = library->objects().liveCount();
        const int hostLive = hostObjectTracker()->liveCount();
        const int bad =
            library->objects().badDestroyCount() + hostObjectTracker()->badDestroyCount();
        report.note("summary",
                    {{"ok", ok},
                     {"pluginObjectsAlive", static_cast<double>(pluginLive)},
                     {"hostObjectsAlive", static_cast<double>(hostLive)},
                     {"badDestructions", static_cast<double>(bad)},
                     {"log", options.logPath}},
                    "summary " + std::string(ok ? "all steps succeeded" : "some steps failed") +
                        "; objects alive: " + std::to_string(pluginLive) + " in the plugin, " +
                        std::to_string(hostLive) + " in the host; bad destructions: " +
                        std::to_string(bad) + "; plugin diagnostics in " + options.logPath);
        exitCode = ok && pluginLive == 0 && hostLive == 0 && bad == 0 ? 0 : 1;
    }
    return exitCode;
}
