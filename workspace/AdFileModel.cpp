#include "workspace/AdFileModel.h"

#include "generator/AdFileRows.h"
#include "platform/RegularFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <mutex>

struct AdFileModel::IndexJob {
    std::atomic<bool> cancel{false};
    std::mutex mutex;                          // held only for moves and flags
    std::vector<std::vector<qint64>> pending;  // chunks of row offsets
    bool done = false;
    QString error;
};

struct AdFileModel::SortJob {
    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::vector<quint32> order;
    bool done = false;
};

namespace {
constexpr qint64 kIndexChunk = 4 * 1024 * 1024;
constexpr int kPollMs = 50;
} // namespace

AdFileModel::AdFileModel(const QStringList& captions, QObject* parent)
    : QAbstractTableModel(parent)
    , m_captions(captions)
    , m_rows(std::make_shared<std::deque<qint64>>())
{
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &AdFileModel::poll);
}

AdFileModel::~AdFileModel()
{
    stopJobs();
    if (m_data)
        m_file.unmap(const_cast<uchar*>(m_data));
}

void AdFileModel::stopJobs()
{
    if (m_indexJob) {
        m_indexJob->cancel = true;
        m_indexThread->wait();
        delete m_indexThread;
        m_indexThread = nullptr;
        m_indexJob.reset();
    }
    if (m_sortJob) {
        m_sortJob->cancel = true;
        m_sortThread->wait();
        delete m_sortThread;
        m_sortThread = nullptr;
        m_sortJob.reset();
    }
    m_sortPending = false;
    m_poll.stop();
}

void AdFileModel::clear()
{
    stopJobs();
    beginResetModel();
    m_rows = std::make_shared<std::deque<qint64>>();
    m_backlog.clear();
    m_backlogPos = 0;
    m_indexDone = false;
    m_indexError.clear();
    m_order.clear();
    m_cachedRow = -1;
    if (m_data)
        m_file.unmap(const_cast<uchar*>(m_data));
    m_data = nullptr;
    m_size = 0;
    m_encoding = AdFiles::Encoding::Utf8;
    m_file.close();
    m_path.clear();
    m_error.clear();
    endResetModel();
    Q_EMIT countChanged(0);
}

bool AdFileModel::load(const QString& path)
{
    clear();
    m_path = path;
    if (!QFile::exists(path)) {
        Q_EMIT indexingFinished(0);
        return true;
    }
    m_file.setFileName(path);
    if (!platform::openRegularFile(m_file, &m_error))
        return false;
    m_size = m_file.size();
    m_loadedTime = m_file.fileTime(QFileDevice::FileModificationTime);
    // Decided once, on the part of the file that its text view shows: read,
    // not taken from the mapping, where the pages of a big file's first
    // megabyte would stay in the process for as long as it is listed.
    m_encoding = AdFiles::fileEncoding(m_file.read(AdFiles::kShownBytes), m_size);
    if (m_size > 0) {
        m_data = m_file.map(0, m_size);
        if (!m_data) {
            m_error = m_file.errorString();
            m_size = 0;
            m_file.close();
            return false;
        }
    }

    if (m_size <= kInlineIndexBytes) {
        AdFiles::LineIndexer indexer(m_encoding);
        indexer.feed(QByteArrayView(reinterpret_cast<const char*>(m_data), m_size));
        indexer.finish();
        std::vector<qint64> rows = indexer.takeRows();
        if (!rows.empty()) {
            beginInsertRows(QModelIndex(), 0, static_cast<int>(rows.size()) - 1);
            m_rows->assign(rows.begin(), rows.end());
            endInsertRows();
        }
        Q_EMIT countChanged(rowCount());
        Q_EMIT indexingFinished(rowCount());
        if (m_sortColumn >= 0)
            startSort();
        return true;
    }

    auto job = std::make_shared<IndexJob>();
    m_indexJob = job;
    m_indexThread = QThread::create([job, path, encoding = m_encoding] {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::lock_guard<std::mutex> lock(job->mutex);
            job->error = file.errorString();
            job->done = true;
            return;
        }
        AdFiles::LineIndexer indexer(encoding);
        QByteArray buffer(kIndexChunk, Qt::Uninitialized);
        QString error;
        while (!job->cancel.load(std::memory_order_relaxed)) {
            const qint64 n = file.read(buffer.data(), buffer.size());
            if (n < 0) {
                error = file.errorString();
                break;
            }
            if (n == 0)
                break;
            indexer.feed(QByteArrayView(buffer.constData(), n));
            std::vector<qint64> rows = indexer.takeRows();
            if (!rows.empty()) {
                std::lock_guard<std::mutex> lock(job->mutex);
                job->pending.push_back(std::move(rows));
            }
        }
        if (error.isEmpty())
            indexer.finish();
        std::vector<qint64> rows = indexer.takeRows();
        std::lock_guard<std::mutex> lock(job->mutex);
        if (!rows.empty())
            job->pending.push_back(std::move(rows));
        job->error = error;
        job->done = true;
    });
    m_indexThread->start();
    m_poll.start();
    return true;
}

void AdFileModel::poll()
{
    if (m_indexJob) {
        {
            // Never wait for the worker here: take its results on a later poll.
            std::unique_lock<std::mutex> lock(m_indexJob->mutex, std::try_to_lock);
            if (lock.owns_lock()) {
                for (std::vector<qint64>& chunk : m_indexJob->pending)
                    m_backlog.push_back(std::move(chunk));
                m_indexJob->pending.clear();
                m_indexDone = m_indexJob->done;
                m_indexError = m_indexJob->error;
            }
        }
        QElapsedTimer spent;
        spent.start();
        bool added = false;
        while (!m_backlog.empty() && spent.elapsed() < kPollBudgetMs) {
            const std::vector<qint64>& chunk = m_backlog.front();
            const size_t take = std::min(chunk.size() - m_backlogPos, kRowsPerStep);
            const int first = static_cast<int>(m_rows->size());
            beginInsertRows(QModelIndex(), first, first + static_cast<int>(take) - 1);
            const auto from = chunk.begin() + static_cast<std::ptrdiff_t>(m_backlogPos);
            m_rows->insert(m_rows->end(), from, from + static_cast<std::ptrdiff_t>(take));
            endInsertRows();
            added = true;
            m_backlogPos += take;
            if (m_backlogPos == chunk.size()) {
                m_backlog.pop_front();
                m_backlogPos = 0;
            }
        }
        if (added)
            Q_EMIT countChanged(rowCount());
        if (m_indexDone && m_backlog.empty()) {
            m_indexThread->wait();
            delete m_indexThread;
            m_indexThread = nullptr;
            m_indexJob.reset();
            m_indexDone = false;
            const QString error = m_indexError;
            m_indexError.clear();
            if (!error.isEmpty())
                Q_EMIT readFailed(error);
            Q_EMIT indexingFinished(rowCount());
            if (m_sortColumn >= 0)
                startSort();
        }
    }
    if (m_sortJob) {
        bool done = false;
        std::vector<quint32> order;
        {
            std::lock_guard<std::mutex> lock(m_sortJob->mutex);
            done = m_sortJob->done;
            if (done)
                order.swap(m_sortJob->order);
        }
        if (done) {
            m_sortThread->wait();
            delete m_sortThread;
            m_sortThread = nullptr;
            m_sortJob.reset();
            if (m_sortPending) {
                m_sortPending = false;
                startSort();
            } else {
                applyOrder(std::move(order));
                Q_EMIT sortFinished();
            }
        }
    }
    if (!m_indexJob && !m_sortJob)
        m_poll.stop();
}

void AdFileModel::setSort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    if (isIndexing())
        return; // applied when the index is complete
    if (isSorting()) {
        m_sortPending = true;
        return;
    }
    startSort();
}

void AdFileModel::startSort()
{
    if (m_sortColumn < 0 || m_rows->empty()) {
        applyOrder({});
        Q_EMIT sortFinished();
        return;
    }
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    if (m_rows->size() <= static_cast<size_t>(kInlineSortRows) && m_size <= kInlineSortBytes) {
        // Sorts the lines the list shows, even when the file has been
        // removed or replaced since.
        const std::deque<qint64>& rows = *m_rows;
        const QByteArrayView shown(reinterpret_cast<const char*>(m_data), std::min(m_size, m_file.size()));
        applyOrder(AdFiles::sortedOrderOfData(
            shown, rows.size(), [&rows](size_t r) { return rows[r]; }, m_sortColumn, descending, nullptr,
            m_encoding));
        Q_EMIT sortFinished();
        return;
    }
    auto job = std::make_shared<SortJob>();
    m_sortJob = job;
    std::shared_ptr<const std::deque<qint64>> rows = m_rows;
    const QString path = m_path;
    const int column = m_sortColumn;
    // While the path still names the listed file, the worker reads it through
    // a buffer of its own. Once the file was removed or replaced (the listed
    // file itself unchanged since the load), the lines are only in the
    // mapping, which nobody can cut short any more; it stays mapped until
    // the job has been stopped.
    const QDateTime listedTime = m_file.fileTime(QFileDevice::FileModificationTime);
    const bool listedUnchanged = m_file.size() == m_size && listedTime == m_loadedTime;
    const QFileInfo now(m_path);
    const bool readByPath = !listedUnchanged
                          || (now.exists() && now.size() == m_size && now.lastModified() == listedTime);
    const QByteArrayView mapped = readByPath ? QByteArrayView()
                                           : QByteArrayView(reinterpret_cast<const char*>(m_data), m_size);
    m_sortThread = QThread::create([job, rows, path, column, descending, readByPath, mapped,
                                    encoding = m_encoding] {
        const auto rowStart = [&rows](size_t r) { return (*rows)[r]; };
        std::vector<quint32> order =
            readByPath
                ? AdFiles::sortedOrder(path, rows->size(), rowStart, column, descending, &job->cancel, encoding)
                : AdFiles::sortedOrderOfData(mapped, rows->size(), rowStart, column, descending, &job->cancel,
                                             encoding);
        std::lock_guard<std::mutex> lock(job->mutex);
        job->order = std::move(order);
        job->done = true;
    });
    m_sortThread->start();
    m_poll.start();
}

void AdFileModel::applyOrder(std::vector<quint32> order)
{
    if (!order.empty() && order.size() != m_rows->size())
        return; // the file could not be read again; keep the current order
    beginResetModel();
    m_order = std::move(order);
    m_cachedRow = -1;
    endResetModel();
}

qint64 AdFileModel::sourceRow(int row) const
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows->size())
        return -1;
    const size_t r = m_order.empty() ? static_cast<size_t>(row) : m_order[static_cast<size_t>(row)];
    return (*m_rows)[r];
}

QStringList AdFileModel::rowFields(int row) const
{
    if (row != m_cachedRow) {
        const qint64 start = sourceRow(row);
        if (start < 0 || !m_data)
            return {};
        // Only the part of the mapping that the file still holds may be read:
        // a file cut short by another program leaves the rest unbacked.
        const qint64 held = std::min(m_size, m_file.size());
        const QByteArrayView all(reinterpret_cast<const char*>(m_data), held);
        m_cachedFields = AdFiles::splitFields(
            AdFiles::decodeLine(AdFiles::lineAt(all, start, m_encoding), start == 0, m_encoding));
        if (m_cachedFields.size() > m_captions.size())
            m_cachedFields.resize(m_captions.size());
        m_cachedRow = row;
    }
    return m_cachedFields;
}

int AdFileModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows->size());
}

int AdFileModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant AdFileModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const QStringList fields = rowFields(index.row());
    return index.column() < fields.size() ? fields.at(index.column()).left(kMaxCellChars) : QString();
}

QVariant AdFileModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_captions.size())
        return m_captions.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
