#include "generator/BlockPipeline.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace generator {

namespace {

// Up to about a megabyte of rows per block: large enough that handing blocks
// over costs nothing next to formatting them, small enough that the blocks
// under way stay a few megabytes. The first blocks are smaller, growing to
// that size, so that the writing starts soon after the workers do.
constexpr qsizetype kRecordsPerBlock = 2048;
constexpr qsizetype kRecordsInFirstBlock = 64;
// Blocks under way per worker (being formatted, or formatted and waiting
// for their turn to be written).
constexpr int kBlocksPerWorker = 2;
constexpr unsigned kMaxWorkers = 16;

std::atomic<qsizetype> g_recordsPerBlock{0};

// One thread writes; the others format.
unsigned workerCount(qsizetype blocks)
{
    const unsigned cores = std::max(std::thread::hardware_concurrency(), 2u);
    return unsigned(std::min<qsizetype>({qsizetype(cores - 1), qsizetype(kMaxWorkers), blocks}));
}

// Where each block starts, and after the last one the record count.
std::vector<qsizetype> blockStarts(qsizetype records)
{
    const qsizetype fixed = g_recordsPerBlock.load();
    std::vector<qsizetype> starts{0};
    qsizetype size = fixed > 0 ? fixed : kRecordsInFirstBlock;
    while (starts.back() < records) {
        starts.push_back(std::min(records, starts.back() + size));
        size = fixed > 0 ? fixed : std::min(2 * size, kRecordsPerBlock);
    }
    return starts;
}

// The blocks of one job: the workers claim them in order and leave each,
// formatted, in a slot of a ring; the calling thread takes them from there
// in the same order and frees their slots.
class BlockRing
{
public:
    BlockRing(const BlockJob& job, const std::vector<qsizetype>& starts, unsigned workers)
        : m_job(job)
        , m_starts(starts)
        , m_blockCount(qsizetype(starts.size()) - 1)
        , m_slots(size_t(workers) * kBlocksPerWorker)
    {
        m_workers.reserve(workers);
        for (unsigned w = 0; w < workers; ++w)
            m_workers.emplace_back([this] { work(); });
    }

    ~BlockRing()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopping = true;
        }
        m_slotFreed.notify_all();
        for (std::thread& worker : m_workers)
            worker.join();
    }

    BlockRing(const BlockRing&) = delete;
    BlockRing& operator=(const BlockRing&) = delete;

    // Waits for block b (the one after the block released last) and
    // returns it formatted; rethrows its formatter's exception.
    RowBlock& take(qsizetype b)
    {
        Slot& slot = slotOf(b);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_awaited = b;
        m_blockReady.wait(lock, [&] { return slot.ready; });
        if (slot.error)
            std::rethrow_exception(slot.error);
        return slot.block;
    }

    // Frees the slot of block b, taken before.
    void release(qsizetype b)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            slotOf(b).ready = false;
            ++m_released;
        }
        // One slot is free: one worker can start a block.
        m_slotFreed.notify_one();
    }

private:
    // Each slot on cache lines of its own: a worker writes its block's
    // bookkeeping at every append, and slots side by side are written by
    // different threads.
    struct alignas(64) Slot {
        RowBlock block;
        bool ready = false;
        std::exception_ptr error;
    };

    Slot& slotOf(qsizetype b) { return m_slots[size_t(b) % m_slots.size()]; }

    void work()
    {
        BlockFormatter format;
        std::exception_ptr madeError;
        try {
            format = m_job.makeFormatter();
        } catch (...) {
            madeError = std::current_exception();
        }
        for (;;) {
            qsizetype b = 0;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                // A block may start once the block a ring's length before it
                // has been released: its slot is then free.
                m_slotFreed.wait(lock, [&] {
                    return m_stopping || m_claimed >= m_blockCount
                        || m_claimed < m_released + qsizetype(m_slots.size());
                });
                if (m_stopping || m_claimed >= m_blockCount)
                    return;
                b = m_claimed++;
            }
            Slot& slot = slotOf(b);
            slot.block.clear();
            slot.error = madeError;
            if (!slot.error) {
                try {
                    format(m_starts[size_t(b)], m_starts[size_t(b) + 1] - 1, slot.block);
                } catch (...) {
                    slot.error = std::current_exception();
                }
            }
            bool awaited = false;
            {
                const std::lock_guard<std::mutex> lock(m_mutex);
                slot.ready = true;
                awaited = b == m_awaited;
            }
            if (awaited)
                m_blockReady.notify_one();
        }
    }

    const BlockJob& m_job;
    const std::vector<qsizetype>& m_starts;
    const qsizetype m_blockCount;
    std::vector<Slot> m_slots;
    std::vector<std::thread> m_workers;

    std::mutex m_mutex; // guards the counters, the flags and the slots' ready/error
    std::condition_variable m_blockReady;
    std::condition_variable m_slotFreed;
    qsizetype m_claimed = 0;  // blocks handed to a worker
    qsizetype m_released = 0; // blocks written and their slots freed
    qsizetype m_awaited = -1; // the block the calling thread waits for
    bool m_stopping = false;
};

void reportProgress(const BlockJob& job, qsizetype first, qsizetype last)
{
    if (!job.progress)
        return;
    for (qsizetype i = (first + 99) / 100 * 100; i <= last; i += 100)
        job.progress(i);
}

void writeBlock(const BlockJob& job, RowWriter& file, qsizetype first, qsizetype last, const RowBlock& block)
{
    reportProgress(job, first, last);
    file.write(block);
    if (job.written)
        job.written(block);
}

} // namespace

void WriteInBlocks(const BlockJob& job, RowWriter& file)
{
    const qsizetype records = job.lastIndex + 1;
    if (records <= 0)
        return;
    const std::vector<qsizetype> starts = blockStarts(records);
    const qsizetype blockCount = qsizetype(starts.size()) - 1;
    if (blockCount == 1) {
        // Not worth a thread.
        RowBlock block;
        job.makeFormatter()(0, job.lastIndex, block);
        writeBlock(job, file, 0, job.lastIndex, block);
        return;
    }
    BlockRing ring(job, starts, workerCount(blockCount));
    for (qsizetype b = 0; b < blockCount; ++b) {
        writeBlock(job, file, starts[size_t(b)], starts[size_t(b) + 1] - 1, ring.take(b));
        ring.release(b);
    }
}

void ForEachRange(qsizetype count, qsizetype perRange,
                  const std::function<void(qsizetype first, qsizetype last)>& work)
{
    const qsizetype ranges = (count + perRange - 1) / perRange;
    std::atomic<qsizetype> next{0};
    std::mutex mutex;
    std::exception_ptr error; // the first, guarded by mutex
    const auto run = [&] {
        for (qsizetype r = next++; r < ranges; r = next++) {
            try {
                work(r * perRange, std::min(count, (r + 1) * perRange) - 1);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(mutex);
                if (!error)
                    error = std::current_exception();
                next = ranges; // no more ranges start
            }
        }
    };
    std::vector<std::thread> workers;
    for (unsigned w = 1; w < workerCount(ranges); ++w)
        workers.emplace_back(run);
    run();
    for (std::thread& worker : workers)
        worker.join();
    if (error)
        std::rethrow_exception(error);
}

namespace detail {
void setRecordsPerBlock(qsizetype records) { g_recordsPerBlock.store(records); }
} // namespace detail

} // namespace generator
