// The benchmark report: the console table of korvane_bench, showing only the fastest of
// repeated runs, and the figures printed after it: how an alarm and a structured batch scale
// from 1 to 1024 agents, and what the diagnostic line, a frame and an alarm cost against one
// raw write of a line to the same sink.
//
// Thread-safety: used by the benchmark runner's thread only.

#pragma once

#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace korvane::bench
{

// The agent counts of the scaling figures: the smallest and the largest crowd.
constexpr int kFewAgents = 1;
constexpr int kManyAgents = 1024;

// Repeated benchmarks run this many times and report the fastest repetition as "min", which
// a build running beside them disturbs least.
constexpr int kRepetitions = 3;

// The console reporter, which shows only the "min" aggregate of repeated benchmarks and
// keeps each benchmark's time per operation so that the figures can be printed after the run.
class RecordingReporter final : public benchmark::ConsoleReporter
{
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& reports) override;

    // The wall time per operation of `name` ("BM_X/1", or "BM_X/" without arguments); 0 when
    // it did not run.
    double nanoseconds(const std::string& name) const;

    // The CPU time per operation of `name` (the process's user and system time, which other
    // processes on the machine stretch less than the wall time); 0 when it did not run.
    double cpuNanoseconds(const std::string& name) const;

private:
    std::map<std::string, double> m_nanoseconds;
    std::map<std::string, double> m_cpuNanoseconds;
};

// Repeats `benchmark` kRepetitions times and reports the fastest repetition.
void fastestOfRepetitions(benchmark::internal::Benchmark* benchmark);

// Prints the 1024-agent against 1-agent figures of the alarm and the structured batch.
void printScalingTable(const RecordingReporter& reporter);

// Prints the diagnostic line, the frame with nothing pending and the alarm to the handler
// as multiples of one raw write of a line to the same sink, in CPU time.
void printWriteRatios(const RecordingReporter& reporter);

// Prints what the signals to the session's background work add to a frame with nothing
// pending, against the 5 % it may add.
void printSessionSignalShare(const RecordingReporter& reporter);

}  // namespace korvane::bench
