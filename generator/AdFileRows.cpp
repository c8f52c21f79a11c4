#include "generator/AdFileRows.h"

#include "generator/ImportFormat.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace AdFiles {

namespace {

bool isUtf16(Encoding encoding)
{
    return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
}

// The UTF-16 unit of bytes at u.
char16_t unitAt(QByteArrayView bytes, qsizetype u, Encoding encoding)
{
    const auto first = static_cast<uchar>(bytes[u]);
    const auto second = static_cast<uchar>(bytes[u + 1]);
    return encoding == Encoding::Utf16LE ? char16_t(first | second << 8) : char16_t(first << 8 | second);
}

// Where the line feed that ends the line of data from `from` stands, or -1.
// In UTF-16 only a whole line feed unit counts, units beginning at from.
qsizetype lineFeedAt(QByteArrayView data, qsizetype from, Encoding encoding)
{
    const qsizetype n = data.size();
    if (!isUtf16(encoding)) {
        const char* p = data.data();
        const void* nl = from < n ? std::memchr(p + from, '\n', size_t(n - from)) : nullptr;
        return nl ? static_cast<const char*>(nl) - p : -1;
    }
    for (qsizetype u = from; u + 1 < n; u += 2) {
        if (unitAt(data, u, encoding) == u'\n')
            return u;
    }
    return -1;
}

QByteArrayView stripCr(QByteArrayView line, Encoding encoding)
{
    if (!isUtf16(encoding)) {
        if (!line.isEmpty() && line.back() == '\r')
            line.chop(1);
    } else if (line.size() >= 2 && line.size() % 2 == 0 && unitAt(line, line.size() - 2, encoding) == u'\r') {
        line.chop(2);
    }
    return line;
}

bool onlySpaces(QStringView s)
{
    for (QChar c : s)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

} // namespace

QString designCaption(ImportFormat::File file)
{
    using ImportFormat::File;
    switch (file) {
    case File::Keywords: return QStringLiteral("Adwords Keywords CSV File:");
    case File::Ads: return QStringLiteral("Adwords Ads CSV File:");
    case File::AdGroups: break;
    }
    return QStringLiteral("Adwords AdGroup CSV File:");
}

QString countCaption(ImportFormat::File file, qint64 count)
{
    using ImportFormat::File;
    QString prefix = QStringLiteral("Adwords AdGroups CSV File: ");
    switch (file) {
    case File::Keywords: prefix = QStringLiteral("Adwords Keywords CSV File: "); break;
    case File::Ads: prefix = QStringLiteral("Adwords Ads CSV File: "); break;
    case File::AdGroups: break;
    }
    return prefix + QString::number(count) + QStringLiteral(" items");
}

qsizetype shownLength(QByteArrayView head, qint64 fileSize, Encoding encoding)
{
    if (fileSize <= head.size())
        return head.size();
    if (isUtf16(encoding)) {
        const qsizetype end = head.size() & ~qsizetype(1);
        for (qsizetype u = end - 2; u >= 0; u -= 2) {
            if (unitAt(head, u, encoding) == u'\n')
                return u + 2;
        }
        // No line end: not between the two units of a surrogate pair.
        return end >= 2 && QChar::isHighSurrogate(unitAt(head, end - 2, encoding)) ? end - 2 : end;
    }
    const qsizetype nl = head.lastIndexOf('\n');
    if (nl >= 0)
        return nl + 1;
    // No line end: not within a UTF-8 character.
    qsizetype lead = head.size() - 1;
    while (lead >= 0 && head.size() - lead < 4 && (static_cast<uchar>(head[lead]) & 0xC0) == 0x80)
        --lead;
    if (lead >= 0) {
        const uchar c = static_cast<uchar>(head[lead]);
        const qsizetype need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (need > head.size() - lead)
            return lead;
    }
    return head.size();
}

Encoding fileEncoding(QByteArrayView head, qint64 fileSize)
{
    // A UTF-16 mark, in the first two bytes, decides alone.
    const Encoding marked = platform::CodePage::encodingOf(head.first(std::min<qsizetype>(head.size(), 2)));
    if (isUtf16(marked))
        return marked;
    return platform::CodePage::encodingOf(head.first(shownLength(head, fileSize, Encoding::Utf8)));
}

QString decodeText(QByteArrayView bytes)
{
    return platform::CodePage::decode(bytes);
}

QString decodeText(QByteArrayView bytes, Encoding encoding)
{
    return platform::CodePage::decode(bytes, encoding, platform::CodePage::Position::FileStart);
}

QString decodeLine(QByteArrayView line, bool firstLine, Encoding encoding)
{
    using platform::CodePage::Position;
    return platform::CodePage::decode(line, encoding, firstLine ? Position::FileStart : Position::WithinFile);
}

QString textViewText(const QString& fileText)
{
    return ImportFormat::decodeCommas(fileText);
}

QStringList splitFields(QStringView line)
{
    const QList<ImportFormat::ReadField> read = ImportFormat::readLine(line);
    QStringList out;
    out.reserve(read.size());
    for (const ImportFormat::ReadField& field : read)
        out << (out.isEmpty() ? field.value : ImportFormat::readValue(field));
    return out;
}

bool listRow(QStringView line, bool firstLine, QStringList* fields)
{
    if (onlySpaces(line))
        return false;
    QStringList f = splitFields(line);
    if (f.size() < 2)
        return false;
    if (firstLine && f.front().compare(QLatin1String("Campaign"), Qt::CaseInsensitive) == 0)
        return false;
    if (fields)
        *fields = std::move(f);
    return true;
}

QList<QStringList> AddListViewItems(const QString& text, int columnCount)
{
    QList<QStringList> rows;
    const QStringView all(text);
    qsizetype start = 0;
    bool first = true;
    while (start <= all.size()) {
        qsizetype nl = all.indexOf(QLatin1Char('\n'), start);
        const bool last = nl < 0;
        if (last)
            nl = all.size();
        QStringView line = all.mid(start, nl - start);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        QStringList fields;
        if (listRow(line, first, &fields)) {
            if (fields.size() > columnCount)
                fields.resize(columnCount);
            rows << fields;
        }
        first = false;
        if (last)
            break;
        start = nl + 1;
    }
    return rows;
}

bool isListLine(QByteArrayView line, bool firstLine, Encoding encoding)
{
    line = stripCr(line, encoding);
    if (!isUtf16(encoding)) {
        // The commas and quotes of 8-bit text are its ASCII bytes.
        const bool hasQuote = std::memchr(line.data(), '"', line.size()) != nullptr;
        if (!hasQuote && !firstLine)
            return std::memchr(line.data(), ',', line.size()) != nullptr;
    }
    return listRow(decodeLine(line, firstLine, encoding), firstLine, nullptr);
}

QByteArrayView lineAt(QByteArrayView data, qint64 start, Encoding encoding)
{
    if (start < 0 || start >= data.size())
        return {};
    const qsizetype nl = lineFeedAt(data, start, encoding);
    return stripCr(data.sliced(start, (nl < 0 ? data.size() : nl) - start), encoding);
}

// ---- LineIndexer ----

void LineIndexer::handleLine(QByteArrayView line, qint64 start)
{
    if (isListLine(line, m_lineNo == 0, m_encoding))
        m_rows.push_back(start);
    ++m_lineNo;
}

void LineIndexer::feedUtf16(QByteArrayView chunk)
{
    // A chunk may end within a line feed unit, or within any unit: lines are
    // looked for in the carry, which begins where a line begins.
    m_offset += chunk.size();
    m_carry.append(chunk);
    qsizetype begin = 0;
    for (qsizetype nl = lineFeedAt(m_carry, m_carrySearched, m_encoding); nl >= 0;
         nl = lineFeedAt(m_carry, begin, m_encoding)) {
        handleLine(QByteArrayView(m_carry).sliced(begin, nl - begin), m_carryStart + begin);
        begin = nl + 2;
    }
    m_carrySearched = (m_carry.size() - begin) & ~qsizetype(1);
    m_carry.remove(0, begin);
    m_carryStart += begin;
}

void LineIndexer::feed(QByteArrayView chunk)
{
    if (isUtf16(m_encoding)) {
        feedUtf16(chunk);
        return;
    }
    const qint64 chunkStart = m_offset;
    m_offset += chunk.size();
    const char* base = chunk.data();
    qsizetype pos = 0;
    if (!m_carry.isEmpty()) {
        const void* nl = std::memchr(base, '\n', chunk.size());
        if (!nl) {
            m_carry.append(chunk);
            return;
        }
        const qsizetype end = static_cast<const char*>(nl) - base;
        m_carry.append(chunk.first(end));
        handleLine(m_carry, m_carryStart);
        m_carry.clear();
        pos = end + 1;
    }
    while (pos < chunk.size()) {
        const void* nl = std::memchr(base + pos, '\n', chunk.size() - pos);
        if (!nl) {
            m_carry = QByteArray(base + pos, chunk.size() - pos);
            m_carryStart = chunkStart + pos;
            break;
        }
        const qsizetype end = static_cast<const char*>(nl) - base;
        handleLine(QByteArrayView(base + pos, end - pos), chunkStart + pos);
        pos = end + 1;
    }
}

void LineIndexer::finish()
{
    if (!m_carry.isEmpty()) {
        handleLine(m_carry, m_carryStart);
        m_carryStart += m_carry.size();
        m_carry.clear();
    }
    m_carrySearched = 0;
}

std::vector<qint64> LineIndexer::takeRows()
{
    std::vector<qint64> out;
    out.swap(m_rows);
    return out;
}

// ---- OffsetLineReader ----

namespace {
constexpr qint64 kReadBlock = 4 * 1024 * 1024;
}

OffsetLineReader::OffsetLineReader(const QString& path, Encoding encoding)
    : m_file(path)
    , m_encoding(encoding)
{
    m_open = m_file.open(QIODevice::ReadOnly);
}

QByteArrayView OffsetLineReader::line(qint64 start)
{
    if (!m_open)
        return {};
    if (start < m_bufStart || start >= m_bufStart + m_buf.size()) {
        if (!m_file.seek(start))
            return {};
        m_buf = m_file.read(kReadBlock);
        m_bufStart = start;
    }
    for (;;) {
        const qsizetype rel = start - m_bufStart;
        const qsizetype nl = lineFeedAt(m_buf, rel, m_encoding);
        if (nl >= 0)
            return stripCr(QByteArrayView(m_buf).sliced(rel, nl - rel), m_encoding);
        // A line longer than the buffer: grow it by its own size at least,
        // so that reading the line costs time in proportion to its length.
        const QByteArray more = m_file.read(std::max(kReadBlock, static_cast<qint64>(m_buf.size() - rel)));
        if (more.isEmpty())
            return stripCr(QByteArrayView(m_buf).sliced(rel), m_encoding);
        m_buf = m_buf.mid(rel) + more;
        m_bufStart = start;
    }
}

// ---- sorting ----
//
// The keys are compared by their case-folded UTF-8 bytes. Keeping every key
// of a multi-million-row column in memory would cost as much as the column
// itself, so the sort works in rounds over windows of the keys: the first
// round sorts all rows by the first kWindow bytes of their keys; rows
// whose windows are equal and whose keys go on are then read again for the
// next window of their keys and sorted among themselves, and so on until
// every tie is settled. Each round reads the file once, in file order.
//
// Every round reads the whole lines of the rows it refines, so a later round
// gives each of them as wide a window as the memory of the first round
// allows (at least 64 MiB for all windows together): a few rows that share a
// long beginning are settled in one more round, not in one round per
// kWindow bytes of the shared part. A window of kWindow bytes is kept in the
// key itself, where the sort reaches it fastest; a wider one is kept apart,
// and only when it is several times as wide.

namespace {

// Case-folded UTF-8 text of one column of a line.
void columnKey(QByteArrayView line, bool firstLine, int column, Encoding encoding, QByteArray& out)
{
    out.clear();
    bool plain = !firstLine && !isUtf16(encoding);
    for (char c : line) {
        const uchar u = static_cast<uchar>(c);
        if (u >= 0x80 || c == '"' || c == '%') {
            plain = false;
            break;
        }
    }
    if (plain) {
        qsizetype start = 0;
        for (int f = 0; f < column; ++f) {
            const qsizetype comma = line.indexOf(',', start);
            if (comma < 0)
                return;
            start = comma + 1;
        }
        qsizetype end = line.indexOf(',', start);
        if (end < 0)
            end = line.size();
        out.resize(end - start);
        char* d = out.data();
        for (qsizetype i = start; i < end; ++i) {
            char c = line[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            *d++ = c;
        }
        return;
    }
    const QStringList fields = splitFields(decodeLine(line, firstLine, encoding));
    if (column < fields.size())
        out = fields.at(column).toCaseFolded().toUtf8();
}

constexpr size_t kWindow = 24;
constexpr size_t kWideWindow = 4 * kWindow;
std::atomic<size_t> g_minWindowMemory{64 * 1024 * 1024};

struct SortKey {
    union {
        uchar window[kWindow]; // key bytes depth..depth + kWindow, zero-padded
        quint32 slot;          // in a round of wide windows: the key's place in Windows::wide
    };
    quint32 len; // length of the whole key
    quint32 row;
};

struct Range {
    size_t begin;
    size_t end;
};

// The windows of one round: the key bytes depth..depth + width of each row
// being refined, zero-padded; kept in the keys when width is kWindow, else
// in wide at a stride of width.
struct Windows {
    size_t depth = 0;
    size_t width = kWindow;
    std::vector<uchar> wide;

    bool inKeys() const { return width == kWindow; }
    const uchar* of(const SortKey& k) const { return inKeys() ? k.window : wide.data() + size_t(k.slot) * width; }
    void fill(SortKey& k, const QByteArray& key)
    {
        uchar* out = k.window;
        if (inKeys())
            std::memset(out, 0, kWindow);
        else
            out = wide.data() + size_t(k.slot) * width; // zeroed when the round began
        if (static_cast<size_t>(key.size()) > depth)
            std::memcpy(out, key.constData() + depth, std::min(width, static_cast<size_t>(key.size()) - depth));
    }
    // Orders two keys by their windows: <0, 0, >0. *undecided is set when the
    // windows are equal and both keys go on past them; keys that end within
    // equal windows are settled by their lengths.
    int compare(const SortKey& a, const SortKey& b, bool* undecided) const
    {
        *undecided = false;
        // A constant length lets the compiler compare windows in keys inline.
        const int c = inKeys() ? std::memcmp(a.window, b.window, kWindow) : std::memcmp(of(a), of(b), width);
        if (c != 0)
            return c;
        if (a.len > depth + width && b.len > depth + width) {
            *undecided = true;
            return 0;
        }
        if (a.len != b.len)
            return a.len < b.len ? -1 : 1;
        return 0;
    }
};

// Where the sort reads its lines: one pass per round, in ascending offsets.
struct LineSource {
    virtual ~LineSource() = default;
    // False when the lines cannot be read.
    virtual bool beginPass() = 0;
    virtual QByteArrayView line(qint64 start) = 0;
};

struct FileLines : LineSource {
    FileLines(const QString& p, Encoding e) : path(p), encoding(e) {}
    bool beginPass() override
    {
        reader = std::make_unique<OffsetLineReader>(path, encoding);
        return reader->isOpen();
    }
    QByteArrayView line(qint64 start) override { return reader->line(start); }
    QString path;
    Encoding encoding;
    std::unique_ptr<OffsetLineReader> reader;
};

struct DataLines : LineSource {
    DataLines(QByteArrayView d, Encoding e) : data(d), encoding(e) {}
    bool beginPass() override { return true; }
    QByteArrayView line(qint64 start) override { return lineAt(data, start, encoding); }
    QByteArrayView data;
    Encoding encoding;
};

std::vector<quint32> sortedOrderFrom(LineSource& lines, size_t rowCount,
                                     const std::function<qint64(size_t)>& rowStart, int column,
                                     bool descending, const std::atomic<bool>* cancel, Encoding encoding)
{
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    const size_t n = rowCount;
    if (n == 0)
        return {};

    std::vector<SortKey> keys(n);
    const size_t memory = std::max(g_minWindowMemory.load(), n * kWindow);
    Windows windows;
    std::vector<Range> groups{{0, n}};

    // Sorts keys[g] by their windows and appends the runs that are still
    // undecided to next.
    const auto sortGroup = [&](const Range& g, std::vector<Range>& next) {
        const auto begin = keys.begin() + static_cast<std::ptrdiff_t>(g.begin);
        const auto end = keys.begin() + static_cast<std::ptrdiff_t>(g.end);
        std::sort(begin, end, [&](const SortKey& a, const SortKey& b) {
            bool undecided;
            const int c = windows.compare(a, b, &undecided);
            if (c != 0)
                return descending ? c > 0 : c < 0;
            return a.row < b.row;
        });
        for (size_t i = g.begin; i + 1 < g.end;) {
            size_t j = i + 1;
            bool undecided = false;
            while (j < g.end) {
                windows.compare(keys[j - 1], keys[j], &undecided);
                if (!undecided)
                    break;
                ++j;
            }
            if (j - i > 1)
                next.push_back({i, j});
            i = j;
        }
    };

    for (bool first = true; !groups.empty(); first = false) {
        if (cancelled() || !lines.beginPass())
            return {};
        QByteArray key;
        const auto read = [&](SortKey& k) {
            const qint64 start = rowStart(k.row);
            columnKey(lines.line(start), start == 0, column, encoding, key);
            if (first)
                k.len = static_cast<quint32>(key.size());
            windows.fill(k, key);
        };
        if (first) {
            for (size_t r = 0; r < n; ++r) {
                if ((r & 0xFFFF) == 0 && cancelled())
                    return {};
                keys[r].row = static_cast<quint32>(r);
                read(keys[r]);
            }
        } else {
            // The rows of the undecided runs get the next window of their
            // keys, read in file order.
            std::vector<quint32> readOrder;
            size_t longest = 0;
            for (const Range& g : groups) {
                for (size_t k = g.begin; k < g.end; ++k) {
                    readOrder.push_back(static_cast<quint32>(k));
                    longest = std::max<size_t>(longest, keys[k].len);
                }
            }
            windows.depth += windows.width;
            const size_t width = std::min(memory / readOrder.size(), longest - windows.depth);
            windows.width = width >= kWideWindow ? width : kWindow;
            windows.wide = std::vector<uchar>(windows.inKeys() ? 0 : readOrder.size() * windows.width);
            if (!windows.inKeys()) {
                for (size_t i = 0; i < readOrder.size(); ++i)
                    keys[readOrder[i]].slot = static_cast<quint32>(i); // a group's windows lie together
            }
            std::sort(readOrder.begin(), readOrder.end(),
                      [&](quint32 a, quint32 b) { return keys[a].row < keys[b].row; });
            for (size_t i = 0; i < readOrder.size(); ++i) {
                if ((i & 0xFFFF) == 0 && cancelled())
                    return {};
                read(keys[readOrder[i]]);
            }
        }
        std::vector<Range> next;
        for (const Range& g : groups)
            sortGroup(g, next);
        groups.swap(next);
    }

    std::vector<quint32> order;
    order.reserve(n);
    for (const SortKey& k : keys)
        order.push_back(k.row);
    return order;
}

} // namespace

std::vector<quint32> sortedOrder(const QString& path, size_t rowCount,
                                 const std::function<qint64(size_t)>& rowStart, int column,
                                 bool descending, const std::atomic<bool>* cancel, Encoding encoding)
{
    FileLines lines(path, encoding);
    return sortedOrderFrom(lines, rowCount, rowStart, column, descending, cancel, encoding);
}

std::vector<quint32> sortedOrderOfData(QByteArrayView data, size_t rowCount,
                                       const std::function<qint64(size_t)>& rowStart, int column,
                                       bool descending, const std::atomic<bool>* cancel, Encoding encoding)
{
    DataLines lines(data, encoding);
    return sortedOrderFrom(lines, rowCount, rowStart, column, descending, cancel, encoding);
}

std::vector<quint32> sortedOrder(const QString& path, const std::vector<qint64>& rowStarts, int column,
                                 bool descending, const std::atomic<bool>* cancel)
{
    return sortedOrder(
        path, rowStarts.size(), [&rowStarts](size_t r) { return rowStarts[r]; }, column, descending, cancel);
}

namespace detail {
void setMinWindowMemory(size_t bytes) { g_minWindowMemory = bytes; }
} // namespace detail

} // namespace AdFiles
