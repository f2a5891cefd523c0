#include "event_metadata_packet.h"

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

void EventMetadataPacket::addItem(const IEventMetadata* eventMetadata)
{
    if (!NX_KIT_ASSERT(printLine, eventMetadata, ""))
        return;
    appendItem(eventMetadata);
}

}  // namespace nx::sdk::analytics
