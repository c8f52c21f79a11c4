#pragma once

#include "generator/RowWriter.h"

#include <QtGlobal>

#include <functional>

namespace generator {

// Formats the rows of records [first, last] into block, which comes empty.
using BlockFormatter = std::function<void(qsizetype first, qsizetype last, RowBlock& block)>;

struct BlockJob {
    qsizetype lastIndex = -1; // the records are 0 to lastIndex
    // Makes the formatter of one worker thread, on that thread; the
    // formatter may keep caches of its own but only reads what the threads
    // share.
    std::function<BlockFormatter()> makeFormatter;
    // Called for every index that is a multiple of 100 (0 included), in
    // order, before the block holding it is written.
    std::function<void(qsizetype index)> progress;
    // Called for every block after it was written, in record order.
    std::function<void(const RowBlock& block)> written;
};

// Writes the rows of job's records to file in record order, formatted on
// worker threads.
//
// Threading: the records are cut into blocks of consecutive records. Worker
// threads format the blocks, each thread with a formatter of its
// own, at most a few blocks ahead of the writing. The calling thread takes
// the blocks in record order: it calls progress, writes the block and calls
// written, so these three and every write to file happen on the calling
// thread, never at the same time as each other. Nothing the workers read
// may change until the call returns; it returns only after every worker has
// ended. An exception from progress, written or a formatter stops the work
// and is passed on: nothing more is written.
void WriteInBlocks(const BlockJob& job, RowWriter& file);

// Calls work(first, last) for consecutive ranges of perRange of the indexes
// 0 to count - 1, on worker threads and the calling thread at once, and
// returns when every range is done; the first exception is passed on.
// work must be safe to run on several ranges at the same time.
void ForEachRange(qsizetype count, qsizetype perRange,
                  const std::function<void(qsizetype first, qsizetype last)>& work);

namespace detail {
// Records in every block; 0 restores the default (blocks that grow). For
// tests that need many blocks from a few records.
void setRecordsPerBlock(qsizetype records);
} // namespace detail

} // namespace generator
