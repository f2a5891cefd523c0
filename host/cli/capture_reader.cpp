#include "capture_reader.h"

#include <fstream>
#include <sstream>

#include "sdk_recorder/capture_records.h"

namespace korvane::host::cli
{

using korvane::sdk_recorder::kCaptureFormatName;
using korvane::sdk_recorder::kCaptureFormatVersion;
using nx::kit::Json;

namespace
{

// What is wrong with the first record; empty when it names a format version this host reads.
std::string headerProblem(const Json& json)
{
    if (json["format"].stringValue() != kCaptureFormatName)
        return std::string("not a capture: the first record does not name the format \"") +
               kCaptureFormatName + "\"";
    if (!json["version"].isNumber())
        return "the first record has no format version";
    const double version = json["version"].numberValue();
    if (version != kCaptureFormatVersion)
    {
        std::ostringstream text;
        text << "format version " << version << ", and this host reads version "
             << kCaptureFormatVersion << " only";
        return text.str();
    }
    return "";
}

// What is wrong with a record after the first one; empty when it is a capture record.
std::string recordProblem(const Json& json)
{
    if (!json["t"].isNumber())
        return "a record without its time \"t\"";
    const int kinds = json["op"].isString() + json["callback"].isString() + json["end"].isString();
    if (kinds != 1)
        return "a record that is not one call (\"op\"), one callback delivery (\"callback\") "
               "or the end (\"end\")";
    return "";
}

// The line of `text` that starts at `*begin`, without its line end; moves `*begin` past it.
std::string nextLine(const std::string& text, size_t* begin, bool* complete)
{
    const size_t newline = text.find('\n', *begin);
    *complete = newline != std::string::npos;
    std::string line = text.substr(*begin, *complete ? newline - *begin : std::string::npos);
    *begin = *complete ? newline + 1 : text.size();
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

}  // namespace

bool readCapture(const std::string& path, Capture* capture, std::string* errorText)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    if (!file || !(content << file.rdbuf()))
        content.str("");  //< An empty or unreadable file is refused below.
    const std::string text = content.str();
    *capture = Capture();
    capture->path = path;
    size_t begin = 0;
    int line = 0;
    while (begin < text.size())
    {
        ++line;
        bool complete = false;
        std::string parseError;
        const Json json = Json::parse(nextLine(text, &begin, &complete), &parseError);
        if (!parseError.empty() && !complete && line > 1)
        {
            capture->truncatedLine = line;
            break;
        }
        std::string problem = "not a JSON object";
        if (!parseError.empty())
            problem = "not JSON (" + parseError + ")";
        else if (json.isObject())
            problem = line == 1 ? headerProblem(json) : recordProblem(json);
        if (!problem.empty())
        {
            *errorText = path + ":" + std::to_string(line) + ": " + problem;
            return false;
        }
        if (line == 1)
            capture->header = json;
        else
            capture->records.push_back({line, json});
        if (line > 1 && json["end"].isString())
            capture->end = json;
    }
    if (line == 0)
        *errorText = path + ":1: " + (file ? "the file is empty, not a capture" : "cannot read it");
    return line > 0;
}

std::string truncationNote(const Capture& capture)
{
    if (capture.truncatedLine == 0)
        return "";
    return capture.path + ":" + std::to_string(capture.truncatedLine) +
           ": the last line is cut short (recording stopped while it was written); the capture "
           "is read up to the line before it";
}

}  // namespace korvane::host::cli
