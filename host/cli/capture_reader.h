// Capture reader: a capture file of the recording Camera SDK read into its records, each with
// its line number, once it is known to be a capture of a version this host reads.
//
// A capture travels: it may be cut short (the process was killed while a line was being
// written), empty, edited by hand or written by a newer recorder. A last line cut short ends
// the capture and is noted; anything else that is not a capture record refuses the file.
//
// Pure functions of the file's content; thread-safe.

#pragma once

#include <string>
#include <vector>

#include <nx/kit/json.h>

namespace korvane::host::cli
{

// One record of a capture and the line it came from (counting from 1).
struct CaptureRecord
{
    int line = 0;
    nx::kit::Json json;
};

struct Capture
{
    std::string path;
    nx::kit::Json header;                //< The first record: format, version, recorder, ...
    std::vector<CaptureRecord> records;  //< The records after the first one, in file order.
    int truncatedLine = 0;               //< The line that was cut short; 0 when none was.
    nx::kit::Json end;                   //< The record that says why recording ended, if any.
};

// Reads the capture at `path`; false with `*errorText` set to "PATH:LINE: what is wrong".
bool readCapture(const std::string& path, Capture* capture, std::string* errorText);

// "PATH:LINE: ..." saying that the last line was cut short; empty when it was not.
std::string truncationNote(const Capture& capture);

}  // namespace korvane::host::cli
