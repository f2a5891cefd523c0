#include "bench/bench_report.h"

#include <algorithm>
#include <cstdio>

namespace korvane::bench
{

namespace
{

double fastest(const std::vector<double>& values)
{
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

double ratio(double many, double few)
{
    return few > 0 ? many / few : 0.0;
}

// One line of the scaling table: the figure at few and at many agents, and their ratio.
void printScalingLine(const char* what, double few, double many)
{
    std::printf("%-32s %12.1f %12.1f %8.2fx\n", what, few, many, ratio(many, few));
}

// The whole path, the stand-in's share (the same notification on a camera without
// sessions) and the plugin's share (the difference) of one notification kind.
void printScalingFigures(const RecordingReporter& reporter, const char* what,
                         const std::string& whole, const std::string& standIn)
{
    const auto at = [&](const std::string& name, int agents)
    { return reporter.nanoseconds(name + "/" + std::to_string(agents)); };
    const double wholeFew = at(whole, kFewAgents);
    const double wholeMany = at(whole, kManyAgents);
    const double standInFew = at(standIn, kFewAgents);
    const double standInMany = at(standIn, kManyAgents);
    if (wholeFew <= 0 || wholeMany <= 0 || standInFew <= 0 || standInMany <= 0)
        return;
    printScalingLine(what, wholeFew, wholeMany);
    printScalingLine("  stand-in share", standInFew, standInMany);
    printScalingLine("  plugin share", wholeFew - standInFew, wholeMany - standInMany);
}

// One line of the write table: the figure, its multiple of the raw write, and the goal; a
// benchmark left out of the run is said to be so rather than shown as within its goal.
void printWriteLine(const char* what, double nanoseconds, double write, double goal)
{
    if (nanoseconds <= 0)
    {
        std::printf("%-40s (not run)\n", what);
        return;
    }
    const double multiple = ratio(nanoseconds, write);
    std::printf("%-40s %10.1f %8.2fx %8.2fx  %s\n", what, nanoseconds, multiple, goal,
                multiple <= goal ? "within" : "ABOVE");
}

}  // namespace

void RecordingReporter::ReportRuns(const std::vector<Run>& reports)
{
    std::vector<Run> shown;
    for (const Run& run : reports)
    {
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "min")
            continue;
        shown.push_back(run);
        if (!run.error_occurred)
        {
            const std::string name = run.run_name.function_name + "/" + run.run_name.args;
            m_nanoseconds[name] = run.GetAdjustedRealTime();
            m_cpuNanoseconds[name] = run.GetAdjustedCPUTime();
        }
    }
    ConsoleReporter::ReportRuns(shown);
}

double RecordingReporter::nanoseconds(const std::string& name) const
{
    const auto it = m_nanoseconds.find(name);
    return it == m_nanoseconds.end() ? 0.0 : it->second;
}

double RecordingReporter::cpuNanoseconds(const std::string& name) const
{
    const auto it = m_cpuNanoseconds.find(name);
    return it == m_cpuNanoseconds.end() ? 0.0 : it->second;
}

void fastestOfRepetitions(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Repetitions(kRepetitions)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("min", fastest);
}

void printScalingTable(const RecordingReporter& reporter)
{
    std::printf("\nScaling, %d agents against %d (fastest of %d repetitions, ns per operation)\n",
                kManyAgents, kFewAgents, kRepetitions);
    std::printf("%-32s %12s %12s %9s\n", "", "1 agent", "1024 agents", "ratio");
    printScalingFigures(reporter, "alarm to handler", "BM_AlarmToHandler",
                        "BM_StandInAlarmNoSubscriber");
    printScalingFigures(reporter, "structured batch", "BM_StructuredBatch",
                        "BM_StandInStructuredNoSubscriber");
    std::fflush(stdout);
}

void printWriteRatios(const RecordingReporter& reporter)
{
    const double write = reporter.cpuNanoseconds("BM_BaselineWrite/");
    if (write <= 0)
        return;
    std::printf(
        "\nAgainst one raw write of a line to the same sink (CPU time, fastest of %d "
        "repetitions)\n",
        kRepetitions);
    std::printf("%-40s %10s %9s %9s\n", "", "ns", "ratio", "goal");
    std::printf("%-40s %10.1f\n", "raw write", write);
    printWriteLine("diagnostic line", reporter.cpuNanoseconds("BM_BaselineDiagnosticLine/"), write,
                   1.2);
    printWriteLine("frame, nothing pending (two lines)",
                   reporter.cpuNanoseconds("BM_FrameNothingPending/"), write, 2.5);
    printWriteLine("alarm to the host handler (one line)",
                   reporter.cpuNanoseconds("BM_AlarmToHandler/" + std::to_string(kFewAgents)),
                   write, 2.0);
    std::fflush(stdout);
}

void printSessionSignalShare(const RecordingReporter& reporter)
{
    const double frame = reporter.cpuNanoseconds("BM_FrameNothingPending/");
    const double signal = reporter.cpuNanoseconds("BM_FrameSessionSignal/");
    if (frame <= 0 || signal <= 0)
        return;
    const double share = 100 * signal / (frame - signal);
    std::printf(
        "\nThe session upkeep's signals in a frame with nothing pending (CPU time): %.2f ns "
        "of %.1f ns, %.2f %% added (5 %% allowed): %s\n",
        signal, frame, share, share <= 5 ? "within" : "ABOVE");
    std::fflush(stdout);
}

}  // namespace korvane::bench
