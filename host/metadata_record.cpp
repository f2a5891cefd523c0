#include "metadata_record.h"

#include <nx/sdk/analytics/i_compound_metadata_packet.h>
#include <nx/sdk/analytics/i_event_metadata.h>
#include <nx/sdk/analytics/i_event_metadata_packet.h>
#include <nx/sdk/analytics/i_object_metadata.h>
#include <nx/sdk/analytics/i_object_metadata_packet.h>
#include <nx/sdk/analytics/i_object_track_best_shot_packet.h>
#include <nx/sdk/ptr.h>

#include "host/string_maps.h"

namespace korvane::host
{

using namespace nx::sdk;
using namespace nx::sdk::analytics;

namespace
{

MetadataRecord::Kind kindOf(const IMetadataPacket* packet)
{
    if (queryInterfacePtr<IObjectMetadataPacket>(packet))
        return MetadataRecord::Kind::object;
    if (queryInterfacePtr<IEventMetadataPacket>(packet))
        return MetadataRecord::Kind::event;
    if (queryInterfacePtr<IObjectTrackBestShotPacket>(packet))
        return MetadataRecord::Kind::bestShot;
    return MetadataRecord::Kind::unknown;
}

void copyAttributes(const IMetadata* metadata, MetadataItem* item)
{
    for (int i = 0; i < metadata->attributeCount(); ++i)
    {
        const auto attribute = toPtr(metadata->attribute(i));
        if (attribute)
            item->attributes.emplace_back(textOrEmpty(attribute->name()),
                                          textOrEmpty(attribute->value()));
    }
}

MetadataItem itemOf(const IMetadata* metadata)
{
    MetadataItem item;
    item.typeId = textOrEmpty(metadata->typeId());
    item.confidence = metadata->confidence();
    copyAttributes(metadata, &item);
    if (const auto event = queryInterfacePtr<IEventMetadata>(metadata))
    {
        item.caption = textOrEmpty(event->caption());
        item.description = textOrEmpty(event->description());
        item.key = textOrEmpty(event->key());
        item.isActive = event->isActive();
        event->trackId(&item.trackId);
    }
    if (const auto object = queryInterfacePtr<IObjectMetadata>(metadata))
    {
        object->trackId(&item.trackId);
        object->boundingBox(&item.boundingBox);
    }
    return item;
}

}  // namespace

MetadataRecord recordOf(const IMetadataPacket* packet)
{
    MetadataRecord record;
    record.kind = kindOf(packet);
    record.timestampUs = packet->timestampUs();
    record.durationUs = packet->durationUs();
    if (const auto compound = queryInterfacePtr<ICompoundMetadataPacket>(packet))
    {
        for (int i = 0; i < compound->count(); ++i)
        {
            const auto metadata = toPtr(compound->at(i));
            if (metadata)
                record.items.push_back(itemOf(metadata.get()));
        }
    }
    return record;
}

const char* toString(MetadataRecord::Kind kind)
{
    switch (kind)
    {
        case MetadataRecord::Kind::event:
            return "event";
        case MetadataRecord::Kind::object:
            return "object";
        case MetadataRecord::Kind::bestShot:
            return "bestShot";
        case MetadataRecord::Kind::unknown:
            break;
    }
    return "unknown";
}

}  // namespace korvane::host
