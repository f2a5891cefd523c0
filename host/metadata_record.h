// MetadataRecord: a plain-value copy of a metadata packet as the server receives it.
//
// The host's handlers copy each packet while it is lent to them, so that tests and the
// command-line host can read what arrived after the plugin has released the packet.
// Values only; no synchronisation of its own.

#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <nx/sdk/analytics/i_metadata_packet.h>
#include <nx/sdk/analytics/rect.h>
#include <nx/sdk/uuid.h>

namespace korvane::host
{

// One event or object of a packet.
struct MetadataItem
{
    std::string typeId;
    float confidence = 0;
    std::vector<std::pair<std::string, std::string>> attributes;  //< name, value; in order
    // Events only.
    std::string caption;
    std::string description;
    std::string key;
    bool isActive = false;
    // Events and objects.
    nx::sdk::Uuid trackId;
    // Objects only.
    nx::sdk::analytics::Rect boundingBox;
};

struct MetadataRecord
{
    enum class Kind
    {
        event,
        object,
        bestShot,
        unknown,
    };

    Kind kind = Kind::unknown;
    int64_t timestampUs = 0;
    int64_t durationUs = 0;
    std::vector<MetadataItem> items;
};

// A copy of `packet`.
// REQUIRES: packet != nullptr.
MetadataRecord recordOf(const nx::sdk::analytics::IMetadataPacket* packet);

// "event", "object", "bestShot" or "unknown".
const char* toString(MetadataRecord::Kind kind);

}  // namespace korvane::host
