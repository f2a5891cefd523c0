// String-map conversion: copies a host string map into the library's own ordered map,
// shared by the engine and device-agent frames.
//
// Stateless; thread-safe as long as the caller's target map is not shared.

#pragma once

#include <map>
#include <string>

#include <nx/sdk/i_string_map.h>

namespace nx::sdk
{

// Copies every entry of `stringMap` into `target`, keeping the target's other keys. A null
// map or a negative count prints an error line (always) and fails; when `enableOutput` is
// set the entries are printed first, under `caption`, indented by `indent` spaces.
// REQUIRES: target != nullptr; indent >= 0.
bool convertStringMap(std::map<std::string, std::string>* target, const IStringMap* stringMap,
                      bool enableOutput, const std::string& printPrefix, const std::string& caption,
                      int indent);

}  // namespace nx::sdk
