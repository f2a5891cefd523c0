// RecordPool: the memory of the records that callback deliveries leave for the writer, kept
// for reuse. A delivery takes a block from a short list rather than from the allocator,
// which could give a camera's thread only the slow way the blocks that the writer's thread
// freed; the writer gives each block back once its record is written. A record that does not
// fit a block comes from the allocator as usual.
//
// Thread-safety: every operation may be called from any thread.

#pragma once

#include <cstddef>
#include <vector>

#include "port/mutex.h"
#include "port/thread_annotations.h"
#include "sdk_recorder/capture_writer.h"

namespace korvane::sdk_recorder
{

class RecordPool
{
public:
    // The bytes of one block: a structured delivery with a face, a person and a vehicle fits.
    static constexpr std::size_t kBlockSize = 2048;

    // The blocks kept for reuse at most; more are given back to the allocator.
    static constexpr std::size_t kKeptBlocks = 1024;

    // The process's pool; never destroyed.
    static RecordPool& instance();

    // A block of kBlockSize bytes.
    void* take();

    // Keeps `block` for reuse. REQUIRES: `block` came from take().
    void give(void* block);

private:
    RecordPool() = default;

    port::Mutex m_mutex;
    std::vector<void*> m_free GUARDED_BY(m_mutex);
};

// A pending record whose memory comes from the pool when it fits a block.
class PooledRecord : public PendingRecord
{
public:
    static void* operator new(std::size_t size);
    static void operator delete(void* memory, std::size_t size);
};

}  // namespace korvane::sdk_recorder
