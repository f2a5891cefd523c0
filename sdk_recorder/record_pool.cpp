#include "record_pool.h"

#include <new>

#include <nx/kit/immortal.h>

namespace korvane::sdk_recorder
{

RecordPool& RecordPool::instance()
{
    static RecordPool* const pool = nx::kit::makeImmortal(new RecordPool());
    return *pool;
}

void* RecordPool::take()
{
    {
        port::MutexLock lock(&m_mutex);
        if (!m_free.empty())
        {
            void* const block = m_free.back();
            m_free.pop_back();
            return block;
        }
    }
    return ::operator new(kBlockSize);
}

void RecordPool::give(void* block)
{
    {
        port::MutexLock lock(&m_mutex);
        if (m_free.size() < kKeptBlocks)
        {
            if (m_free.capacity() == 0)
                m_free.reserve(kKeptBlocks);  //< Keeping a block never allocates then.
            m_free.push_back(block);
            return;
        }
    }
    ::operator delete(block);
}

void* PooledRecord::operator new(std::size_t size)
{
    return size <= RecordPool::kBlockSize ? RecordPool::instance().take() : ::operator new(size);
}

void PooledRecord::operator delete(void* memory, std::size_t size)
{
    if (size <= RecordPool::kBlockSize)
        RecordPool::instance().give(memory);
    else
        ::operator delete(memory);
}

}  // namespace korvane::sdk_recorder
