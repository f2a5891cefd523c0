#include "recorder_comparison.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace korvane::bench
{

namespace
{

constexpr const char* kRecorderRunVariable = "KORVANE_BENCH_THROUGH_RECORDER";
constexpr const char* kFigurePrefix = "through-recorder";

// The benchmarks compared, and their names in the table.
const std::pair<const char*, const char*> kCompared[] = {
    {"BM_AlarmToHandler/1", "alarm to handler"},
    {"BM_StructuredBatch/1", "structured batch"},
};

std::string recorderCommand()
{
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string program = length > 0 ? std::string(self, static_cast<size_t>(length)) : "";
    return std::string(kRecorderRunVariable) + "=1 LD_PRELOAD='" + KORVANE_RECORDER_PATH +
           "' KORVANE_SDK_CAPTURE=/dev/null KORVANE_SDK_CAPTURE_MAX_MB=1000000 '" + program +
           "' '--benchmark_filter=^BM_(AlarmToHandler|StructuredBatch)/1/'";
}

// Runs the benchmarks through the recorder; their figures by name.
std::map<std::string, double> recordedFigures()
{
    std::map<std::string, double> figures;
    // The shell's /proc/self would be the shell's own: the program's file is read first.
    std::FILE* const output = popen(recorderCommand().c_str(), "r");
    if (!output)
        return figures;
    char line[512];
    while (std::fgets(line, sizeof line, output))
    {
        char name[256] = {};
        double nanoseconds = 0;
        if (std::sscanf(line, "through-recorder %255s %lf", name, &nanoseconds) == 2)
            figures[name] = nanoseconds;
    }
    pclose(output);
    return figures;
}

}  // namespace

bool isRecorderRun()
{
    return std::getenv(kRecorderRunVariable) != nullptr;
}

void printRecordedFigures(const NanosecondsOf& nanoseconds)
{
    for (const auto& [name, what] : kCompared)
        std::printf("%s %s %.1f\n", kFigurePrefix, name, nanoseconds(name));
    std::fflush(stdout);
}

void printRecorderTable(const NanosecondsOf& nanoseconds)
{
    const std::map<std::string, double> recorded = recordedFigures();
    std::printf("\nRecording Camera SDK, 1 agent (fastest of 3 repetitions, ns per operation)\n");
    std::printf("%-32s %12s %12s %9s\n", "", "without", "recording", "ratio");
    for (const auto& [name, what] : kCompared)
    {
        const double without = nanoseconds(name);
        const auto it = recorded.find(name);
        if (without <= 0 || it == recorded.end() || it->second <= 0)
        {
            std::printf("%-32s (no figure through the recorder)\n", what);
            continue;
        }
        std::printf("%-32s %12.1f %12.1f %8.2fx\n", what, without, it->second,
                    it->second / without);
    }
    std::fflush(stdout);
}

}  // namespace korvane::bench
