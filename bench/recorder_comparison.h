// The cost of the recording Camera SDK: korvane_bench runs itself again with the recorder
// preloaded over the stand-in (capturing to /dev/null, so that the writer thread encodes and
// writes every record but no disk is filled), limited to the one-agent alarm and structured
// batch benchmarks, and prints their figures beside its own with the ratio.
//
// Thread-safety: used by the benchmark program's main thread only.

#pragma once

#include <functional>
#include <string>

namespace korvane::bench
{

// The time per operation of a benchmark run ("BM_X/1"); 0 when it did not run.
using NanosecondsOf = std::function<double(const std::string&)>;

// Whether this process is the run through the recorder.
bool isRecorderRun();

// In the run through the recorder: prints the figures for the run that started it.
void printRecordedFigures(const NanosecondsOf& nanoseconds);

// Runs the benchmarks again through the recorder and prints both figures and their ratio.
void printRecorderTable(const NanosecondsOf& nanoseconds);

}  // namespace korvane::bench
