#pragma once

#include "generator/AdFileRows.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QFile>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

class QThread;

// One import file as a list: the rows are the file's listed lines, read on
// demand from the memory-mapped file through an index of line offsets. Big
// files are indexed by a worker thread while the list already shows the
// first rows; sorting builds a row order in a worker thread as well.
class AdFileModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit AdFileModel(const QStringList& captions, QObject* parent = nullptr);
    ~AdFileModel() override;

    // Files up to this size are indexed at once, bigger ones in the background.
    static constexpr qint64 kInlineIndexBytes = 1024 * 1024;
    // Lists of up to this many rows and bytes are sorted at once, others in
    // the background: a few rows with long fields take as long as many short ones.
    static constexpr int kInlineSortRows = 100000;
    static constexpr qint64 kInlineSortBytes = 4 * 1024 * 1024;
    // While indexing, rows are added to the list in steps of this many rows
    // for at most kPollBudgetMs per poll, so that no poll keeps the window
    // busy for long.
    static constexpr size_t kRowsPerStep = 20000;
    static constexpr int kPollBudgetMs = 8;
    // A cell shows at most this many characters of its field; drawing a
    // field of millions of characters would stall the window at every paint.
    static constexpr int kMaxCellChars = 4096;

    // Shows the file at path. A missing file gives an empty list; false (with
    // errorString) when the file exists but cannot be read or is no regular
    // file (platform/RegularFile), which is not opened.
    bool load(const QString& path);
    void clear();

    bool isIndexing() const { return m_indexJob != nullptr; }
    bool isSorting() const { return m_sortJob != nullptr; }
    bool isBusy() const { return isIndexing() || isSorting(); }
    QString errorString() const { return m_error; }
    QString path() const { return m_path; }

    // Lists sorted by column (-1: file order). The order is applied once the
    // file is indexed, and again after every load.
    void setSort(int column, Qt::SortOrder order);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // All fields of a listed row as shown (cut to the columns).
    QStringList rowFields(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The number of listed rows grew (while indexing) or was reset.
    void countChanged(int count);
    void indexingFinished(int count);
    void sortFinished();
    // The file could not be read to its end; the rows so far stay listed.
    void readFailed(const QString& description);

private:
    struct IndexJob;
    struct SortJob;

    void poll();
    void stopJobs();
    void startSort();
    void applyOrder(std::vector<quint32> order);
    qint64 sourceRow(int row) const;

    QStringList m_captions;
    QString m_path;
    QString m_error;
    QFile m_file;
    const uchar* m_data = nullptr;
    qint64 m_size = 0;
    AdFiles::Encoding m_encoding = AdFiles::Encoding::Utf8; // of the listed file, as its text view reads it
    QDateTime m_loadedTime; // modification time of the listed file at load

    // Start offsets of the listed lines; a deque grows without moving what it holds.
    std::shared_ptr<std::deque<qint64>> m_rows;
    std::deque<std::vector<qint64>> m_backlog;     // indexed, not yet listed
    size_t m_backlogPos = 0;                       // rows of the first backlog chunk already listed
    bool m_indexDone = false;
    QString m_indexError;
    std::vector<quint32> m_order;                  // empty: file order

    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_sortPending = false;

    std::shared_ptr<IndexJob> m_indexJob;
    QThread* m_indexThread = nullptr;
    std::shared_ptr<SortJob> m_sortJob;
    QThread* m_sortThread = nullptr;
    QTimer m_poll;

    mutable int m_cachedRow = -1;
    mutable QStringList m_cachedFields;
};
