#include "object_metadata_packet.h"

#include <nx/kit/debug.h>

namespace nx::sdk::analytics
{

namespace
{

void printLine(const char* text)
{
    NX_KIT_PRINT(NX_KIT_SOURCE_PREFIX) << text;
}

}  // namespace

void ObjectMetadataPacket::addItem(const IObjectMetadata* objectMetadata)
{
    if (!NX_KIT_ASSERT(printLine, objectMetadata, ""))
        return;
    appendItem(objectMetadata);
}

}  // namespace nx::sdk::analytics
