// Object translation: the camera's structured detection records as pending objects (one
// attribute set per object type), and the layout of the objects' bounding boxes.
//
// Pure functions over the records; the caller guards the pending objects. Thread-safe.

#pragma once

#include <cstdint>
#include <map>
#include <string>

#include <nx/sdk/analytics/rect.h>

#include "camera_sdk/ostrel_sdk.h"

namespace nx::vms_server_plugins::analytics::sample
{

// Attribute name to text, in ascending name order.
using AttributeSet = std::map<std::string, std::string>;

// Object type id to the attribute set of the first record of that type since the last drain.
using PendingObjects = std::map<std::string, AttributeSet>;

// The attributes of a face; codes without a table row are left out.
AttributeSet faceAttributes(const OstrelFaceRecord& face);

// The attributes of a person; codes without a table row are left out.
AttributeSet personAttributes(const OstrelPersonRecord& person);

// The attributes of a vehicle, with its speed and, when it has a plate text, its plate.
AttributeSet vehicleAttributes(const OstrelVehicleRecord& vehicle);

// The attributes of a vehicle's licence plate.
// REQUIRES: !plateText(vehicle).empty().
AttributeSet plateAttributes(const OstrelVehicleRecord& vehicle);

// The plate text: the bytes up to the first NUL, never more than the field's 64 bytes.
std::string plateText(const OstrelVehicleRecord& vehicle);

// Adds the first face, person, vehicle and licence plate of `batch` to `pending`, each only
// when no set of that type is pending yet. A null array counts as no records of its kind.
void collectPendingObjects(const OstrelStructuredRecord& batch, PendingObjects* pending);

// The box of object `index` of `count` at frame `frameCounter`, in normalised coordinates:
// side by side across the frame, rising by 0.005 per frame and starting again every 200.
// REQUIRES: 0 <= index < count.
nx::sdk::analytics::Rect objectBoundingBox(int index, int count, uint32_t frameCounter);

}  // namespace nx::vms_server_plugins::analytics::sample
