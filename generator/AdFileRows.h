#pragma once

#include "generator/ImportFormat.h"
#include "platform/CodePage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <atomic>
#include <functional>
#include <vector>

// The line and field rules of the three import files as the lists of the
// "Adwords Files" tab read them back: the reading side of the format, beside
// it in the GUI-free generator library, so that it runs in worker threads and
// in headless tests.
//
// Fields are read as generator/ImportFormat.h defines; the first field of a
// line is shown as read, every later one with its "%2C" form undone.
namespace AdFiles {

// Container captions: as designed ("Adwords Keywords CSV File:") and with a
// count ("Adwords Keywords CSV File: 12 items").
QString designCaption(ImportFormat::File file);
QString countCaption(ImportFormat::File file, qint64 count);

using platform::CodePage::Encoding;

// A text view shows at most the first kShownBytes of its file.
constexpr qint64 kShownBytes = 1024 * 1024;

// How many of head, the first bytes (at most kShownBytes) of a file of
// fileSize bytes, the text view shows: all of a file that they hold whole;
// of a longer one up to its last whole line, or, when they hold no line end,
// up to the character that they would cut.
qsizetype shownLength(QByteArrayView head, qint64 fileSize, Encoding encoding);
// The one encoding in which both views read a file (platform/CodePage), so
// that they show the same text: decided from the part of the file that the
// text view shows (all of a file of up to kShownBytes). A line of a longer
// file beyond that part that is not UTF-8 reads as Windows-1252.
Encoding fileEncoding(QByteArrayView head, qint64 fileSize);

// A whole file's text in the encoding its bytes show (platform/CodePage).
QString decodeText(QByteArrayView bytes);
// A file's first bytes in its encoding, its mark dropped.
QString decodeText(QByteArrayView bytes, Encoding encoding);
// One line of a file in the file's encoding; a byte order mark is dropped
// only from the file's first line, so both views show the same text.
QString decodeLine(QByteArrayView line, bool firstLine, Encoding encoding = Encoding::Utf8);
// The text as the text views show it: every "%2C" as ",".
QString textViewText(const QString& fileText);

// The fields of one line (no line break) as the list shows them.
QStringList splitFields(QStringView line);
// Applies the list rules to one line: false when the line is skipped (empty
// after trimming spaces, a single field, or a "Campaign" header on the first
// line of the file); otherwise fills fields.
bool listRow(QStringView line, bool firstLine, QStringList* fields);
// The rows a list shows for a whole file text, each cut to columnCount fields.
QList<QStringList> AddListViewItems(const QString& text, int columnCount);

// Byte-level form of listRow's skip test, used while indexing big files.
bool isListLine(QByteArrayView line, bool firstLine, Encoding encoding = Encoding::Utf8);
// The bytes of the line starting at start, without its CR/LF. In UTF-16 a
// line ends at a whole line feed unit, and start is where a unit begins.
QByteArrayView lineAt(QByteArrayView data, qint64 start, Encoding encoding = Encoding::Utf8);

// Builds the index of listed lines (their start offsets) from consecutive
// chunks of a file.
class LineIndexer
{
public:
    explicit LineIndexer(Encoding encoding = Encoding::Utf8) : m_encoding(encoding) {}
    void feed(QByteArrayView chunk);
    // Handles a last line without a line break.
    void finish();
    // Offsets found since the last take.
    std::vector<qint64> takeRows();
    qint64 bytesSeen() const { return m_offset; }

private:
    void handleLine(QByteArrayView line, qint64 start);
    void feedUtf16(QByteArrayView chunk);

    Encoding m_encoding;
    QByteArray m_carry;
    qsizetype m_carrySearched = 0; // UTF-16: bytes of the carry without a line end
    qint64 m_carryStart = 0;
    qint64 m_offset = 0;
    qint64 m_lineNo = 0;
    std::vector<qint64> m_rows;
};

// Reads the lines at ascending offsets of a file through a read buffer (no
// mapping, so a pass over a big file leaves no pages behind in the process).
class OffsetLineReader
{
public:
    explicit OffsetLineReader(const QString& path, Encoding encoding = Encoding::Utf8);
    bool isOpen() const { return m_open; }
    QString errorString() const { return m_file.errorString(); }
    // Offsets must not decrease between calls.
    QByteArrayView line(qint64 start);

private:
    QFile m_file;
    Encoding m_encoding;
    bool m_open = false;
    QByteArray m_buf;
    qint64 m_bufStart = 0;
};

// The order in which the rows at rowStarts are listed when sorted by the
// text of one column: case-insensitive, by character code, ties in file
// order. Empty when cancelled or when the file cannot be read.
std::vector<quint32> sortedOrder(const QString& path, size_t rowCount,
                                 const std::function<qint64(size_t)>& rowStart, int column,
                                 bool descending, const std::atomic<bool>* cancel = nullptr,
                                 Encoding encoding = Encoding::Utf8);
// The same order for rows held in memory (a mapped file).
std::vector<quint32> sortedOrderOfData(QByteArrayView data, size_t rowCount,
                                       const std::function<qint64(size_t)>& rowStart, int column,
                                       bool descending, const std::atomic<bool>* cancel = nullptr,
                                       Encoding encoding = Encoding::Utf8);
std::vector<quint32> sortedOrder(const QString& path, const std::vector<qint64>& rowStarts,
                                 int column, bool descending,
                                 const std::atomic<bool>* cancel = nullptr);

namespace detail {
// The memory that the key windows of one sorting round may take together at
// least (64 MiB unless set); tests set a small one to sort in many rounds.
void setMinWindowMemory(size_t bytes);
} // namespace detail

} // namespace AdFiles
