// Uuid helpers: random version-4 identifiers and the text form of an identifier.
//
// randomUuid draws from one process-wide generator, created on first use and guarded by
// its own mutex, so it may be called from any thread. toString is stateless.

#pragma once

#include <string>

#include <nx/sdk/uuid.h>

namespace nx::sdk
{

// A new random identifier with the version-4 and RFC 4122 variant bits set.
Uuid randomUuid();

// The identifier as two hex digits per byte in byte order, in upper or lower case, with
// hyphens between the 4-2-2-2-6 byte groups when `hyphens`, and inside "{" "}" when `braces`.
// The defaults give "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string toString(const Uuid& uuid, bool uppercase = true, bool hyphens = true,
                     bool braces = true);

}  // namespace nx::sdk
