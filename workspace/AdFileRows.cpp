#include "workspace/AdFileRows.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <memory>

namespace AdFiles {

namespace {

const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = static_cast<uchar>(bytes[i]);
        d[i] = (c >= 0x80 && c < 0xA0) ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return out;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes)
        if (static_cast<uchar>(c) >= 0x80)
            return false;
    return true;
}

QByteArrayView stripCr(QByteArrayView line)
{
    if (!line.isEmpty() && line.back() == '\r')
        line.chop(1);
    return line;
}

QByteArrayView stripBom(QByteArrayView bytes)
{
    if (bytes.size() >= 3 && static_cast<uchar>(bytes[0]) == 0xEF
        && static_cast<uchar>(bytes[1]) == 0xBB && static_cast<uchar>(bytes[2]) == 0xBF)
        bytes = bytes.sliced(3);
    return bytes;
}

const QString kPercent2C = QStringLiteral("%2C");

// A later field as the list shows it.
QString laterField(QString value, bool quoted)
{
    if (quoted)
        return value.replace(kPercent2C, QStringLiteral(","));
    if (!value.contains(kPercent2C))
        return value;
    value.replace(kPercent2C, QStringLiteral(","));
    if (value.startsWith(QLatin1Char('"')))
        value.remove(0, 1);
    if (value.endsWith(QLatin1Char('"')))
        value.chop(1);
    return value;
}

bool onlySpaces(QStringView s)
{
    for (QChar c : s)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

} // namespace

QString fileName(int kind)
{
    switch (kind) {
    case KeywordFile: return QStringLiteral("AdwordsKeywords.csv");
    case AdFile: return QStringLiteral("AdwordsAds.csv");
    default: return QStringLiteral("AdwordsAdGroups.csv");
    }
}

QStringList columnCaptions(int kind)
{
    switch (kind) {
    case KeywordFile:
        return {QStringLiteral("Campaign"), QStringLiteral("Ad Group"), QStringLiteral("Keyword"),
                QStringLiteral("Keyword Type"), QStringLiteral("Max CPC"), QStringLiteral("Destination URL")};
    case AdFile:
        return {QStringLiteral("Campaign"), QStringLiteral("Ad Group"), QStringLiteral("Headline"),
                QStringLiteral("Description Line1"), QStringLiteral("Description Line2"),
                QStringLiteral("Display URL"), QStringLiteral("Destination URL")};
    default:
        return {QStringLiteral("Campaign"), QStringLiteral("Ad Group"), QStringLiteral("Max CPC"),
                QStringLiteral("Max Content CPC"), QStringLiteral("Placement Max CPC")};
    }
}

QString designCaption(int kind)
{
    switch (kind) {
    case KeywordFile: return QStringLiteral("Adwords Keywords CSV File:");
    case AdFile: return QStringLiteral("Adwords Ads CSV File:");
    default: return QStringLiteral("Adwords AdGroup CSV File:");
    }
}

QString countCaption(int kind, qint64 count)
{
    QString prefix;
    switch (kind) {
    case KeywordFile: prefix = QStringLiteral("Adwords Keywords CSV File: "); break;
    case AdFile: prefix = QStringLiteral("Adwords Ads CSV File: "); break;
    default: prefix = QStringLiteral("Adwords AdGroups CSV File: "); break;
    }
    return prefix + QString::number(count) + QStringLiteral(" items");
}

QString decodeText(QByteArrayView bytes)
{
    bytes = stripBom(bytes);
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromCp1252(bytes);
}

QString textViewText(const QString& fileText)
{
    QString text = fileText;
    return text.replace(kPercent2C, QStringLiteral(","));
}

QStringList splitFields(QStringView line)
{
    QStringList out;
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        const bool first = out.isEmpty();
        if (i < n && line[i] == QLatin1Char('"')) {
            QString value;
            qsizetype j = i + 1;
            bool wellFormed = false;
            while (j < n) {
                if (line[j] == QLatin1Char('"')) {
                    if (j + 1 < n && line[j + 1] == QLatin1Char('"')) {
                        value += QLatin1Char('"');
                        j += 2;
                        continue;
                    }
                    wellFormed = (j + 1 == n || line[j + 1] == QLatin1Char(','));
                    ++j;
                    break;
                }
                value += line[j];
                ++j;
            }
            if (wellFormed) {
                out << (first ? value : laterField(value, true));
                if (j >= n)
                    break;
                i = j + 1; // past the ","
                continue;
            }
        }
        const qsizetype comma = line.indexOf(QLatin1Char(','), i);
        const QStringView raw = line.mid(i, comma < 0 ? n - i : comma - i);
        out << (first ? raw.toString() : laterField(raw.toString(), false));
        if (comma < 0)
            break;
        i = comma + 1;
    }
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

bool isListLine(QByteArrayView line, bool firstLine)
{
    line = stripCr(line);
    if (firstLine)
        line = stripBom(line);
    const bool hasQuote = std::memchr(line.data(), '"', line.size()) != nullptr;
    if (!hasQuote && !firstLine)
        return std::memchr(line.data(), ',', line.size()) != nullptr;
    return listRow(decodeText(line), firstLine, nullptr);
}

QByteArrayView lineAt(QByteArrayView data, qint64 start)
{
    if (start < 0 || start >= data.size())
        return {};
    const char* p = data.data() + start;
    const void* nl = std::memchr(p, '\n', data.size() - start);
    const qint64 len = nl ? static_cast<const char*>(nl) - p : data.size() - start;
    return stripCr(QByteArrayView(p, len));
}

// ---- LineIndexer ----

void LineIndexer::handleLine(QByteArrayView line, qint64 start)
{
    if (isListLine(line, m_lineNo == 0))
        m_rows.push_back(start);
    ++m_lineNo;
}

void LineIndexer::feed(QByteArrayView chunk)
{
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
        m_carry.clear();
    }
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

OffsetLineReader::OffsetLineReader(const QString& path)
    : m_file(path)
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
        const char* p = m_buf.constData() + rel;
        const void* nl = std::memchr(p, '\n', m_buf.size() - rel);
        if (nl)
            return stripCr(QByteArrayView(p, static_cast<const char*>(nl) - p));
        const QByteArray more = m_file.read(kReadBlock);
        if (more.isEmpty())
            return stripCr(QByteArrayView(p, m_buf.size() - rel));
        m_buf = m_buf.mid(rel) + more;
        m_bufStart = start;
    }
}

// ---- sorting ----

namespace {

struct SortKey {
    quint64 prefix;
    const char* text;
    quint32 len;
    quint32 row;
};

// Case-folded UTF-8 text of one column of a line, appended to out.
void columnKey(QByteArrayView line, bool firstLine, int column, QByteArray& out)
{
    out.clear();
    bool plain = !firstLine;
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
        out.reserve(end - start);
        for (qsizetype i = start; i < end; ++i) {
            char c = line[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            out.append(c);
        }
        return;
    }
    const QStringList fields = splitFields(decodeText(line));
    if (column < fields.size())
        out = fields.at(column).toCaseFolded().toUtf8();
}

// Blocks of key text; a key never spans two blocks.
class KeyArena
{
public:
    const char* add(const QByteArray& bytes)
    {
        const qsizetype n = bytes.size();
        if (m_blocks.empty() || m_used + n > m_size) {
            m_size = std::max<qsizetype>(kBlock, n);
            m_blocks.push_back(std::make_unique<char[]>(m_size));
            m_used = 0;
        }
        char* p = m_blocks.back().get() + m_used;
        if (n)
            std::memcpy(p, bytes.constData(), n);
        m_used += n;
        return p;
    }

private:
    static constexpr qsizetype kBlock = 16 * 1024 * 1024;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    qsizetype m_size = 0;
    qsizetype m_used = 0;
};

} // namespace

std::vector<quint32> sortedOrder(const QString& path, const std::vector<qint64>& rowStarts,
                                 int column, bool descending, const std::atomic<bool>* cancel)
{
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    OffsetLineReader reader(path);
    if (!reader.isOpen() && !rowStarts.empty())
        return {};

    KeyArena arena;
    std::vector<SortKey> keys;
    keys.reserve(rowStarts.size());
    QByteArray key;
    for (size_t r = 0; r < rowStarts.size(); ++r) {
        if ((r & 0xFFFF) == 0 && cancelled())
            return {};
        columnKey(reader.line(rowStarts[r]), rowStarts[r] == 0, column, key);
        keys.push_back({0, arena.add(key), static_cast<quint32>(key.size()), static_cast<quint32>(r)});
    }

    // Common leading bytes of all keys; the 8 bytes after them decide most
    // comparisons without touching the key text.
    size_t lcp = keys.empty() ? 0 : keys.front().len;
    for (const SortKey& k : keys) {
        size_t i = 0;
        const size_t m = std::min<size_t>(lcp, k.len);
        while (i < m && k.text[i] == keys.front().text[i])
            ++i;
        lcp = i;
        if (lcp == 0)
            break;
    }
    for (SortKey& k : keys) {
        quint64 p = 0;
        for (size_t i = 0; i < 8; ++i) {
            const size_t at = lcp + i;
            p = (p << 8) | (at < k.len ? static_cast<uchar>(k.text[at]) : 0u);
        }
        k.prefix = p;
    }
    if (cancelled())
        return {};

    const size_t decided = lcp + 8;
    // <0, 0, >0 by text only.
    const auto textCompare = [decided](const SortKey& a, const SortKey& b) -> int {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix ? -1 : 1;
        if (a.len > decided && b.len > decided) {
            const size_t m = std::min(a.len, b.len) - decided;
            const int c = std::memcmp(a.text + decided, b.text + decided, m);
            if (c != 0)
                return c;
        }
        if (a.len != b.len)
            return a.len < b.len ? -1 : 1;
        return 0;
    };
    std::sort(keys.begin(), keys.end(), [&](const SortKey& a, const SortKey& b) {
        const int c = textCompare(a, b);
        if (c != 0)
            return descending ? c > 0 : c < 0;
        return a.row < b.row;
    });

    std::vector<quint32> order;
    order.reserve(keys.size());
    for (const SortKey& k : keys)
        order.push_back(k.row);
    return order;
}

} // namespace AdFiles
