// Settings as the server's settings page makes them: the defaults of the engine manifest's
// device-agent settings model, and settings files whose values are laid over them.
//
// Pure functions of their arguments; thread-safe.

#pragma once

#include <map>
#include <string>

#include <nx/kit/json.h>

namespace korvane::host::cli
{

using Settings = std::map<std::string, std::string>;

// The default value of every named item of a settings model, as the page sends it:
// booleans as "true" or "false", numbers in decimal, texts as they are, and the empty text
// for an item without a default (a figure). A "Repeater"
// expands its template for each index, "#" in the names standing for the index.
Settings settingsModelDefaults(const nx::kit::Json& model);

// The members of a JSON object of settings: texts as they are, other values as JSON text.
Settings settingsOf(const nx::kit::Json& object);

// The values of a JSON object of settings, as settingsOf() reads them; false with `*errorText` set
// when `text` is not a JSON object.
bool parseSettingsText(const std::string& text, Settings* settings, std::string* errorText);

// `base` with every value of `overlay` laid over it.
Settings overlaid(Settings base, const Settings& overlay);

}  // namespace korvane::host::cli
