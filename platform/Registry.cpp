#include "platform/Registry.h"

#include "platform/AtomicFile.h"
#include "platform/Blanks.h"
#include "platform/CodePage.h"
#include "platform/Locations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>

#include <algorithm>
#include <deque>
#include <utility>

namespace platform::Registry {

namespace {

// One line under a key, in file order: a value, or a line kept as it stood.
struct Entry {
    QString name;     // the value's name as first spelled
    QString text;
    QByteArray kept;  // not empty: a line that could not be read, its bytes unchanged
};

struct Key {
    QString name;           // this key's part of the path, as first spelled
    int parent = 0;         // index of the parent key (0: the hive itself)
    int subkeys = 0;
    bool listed = false;    // has its place in HiveData::order
    bool detached = false;  // the lines under an unreadable key header: no path reaches them
    QList<Entry> entries;
};

// A subkey or a value: its key's index and its case-folded name. One table
// per hive (not one per key) keeps a key of a long path cheap.
using NameId = std::pair<int, QString>;

struct HiveData {
    QString file;            // the file the cache belongs to
    bool loaded = false;
    bool existed = false;    // stat of the file when last read or written
    bool unreadable = false; // the file exists but could not be read: never overwrite it
    QString reportedUnreadable; // the unreadable file the reports named already
    QDateTime modified;
    qint64 size = -1;
    std::deque<Key> keys;             // [0] is the hive itself; never moved as it grows
    QHash<NameId, int> subkeys;       // key index by parent and folded part
    QHash<NameId, qsizetype> values;  // entry index by key and folded value name
    QList<QByteArray> preamble;       // lines kept above the first key
    QList<int> order;                 // keys in the order they were first read or made
    bool pending = false;             // changed in memory by the open batch, not saved yet
};

HiveData g_hives[2];
QStringList g_problems;
bool g_batchOpen = false;

HiveData& data(Hive hive)
{
    return g_hives[hive == Hive::CurrentUser ? 0 : 1];
}

QString hiveName(Hive hive)
{
    return hive == Hive::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                     : QStringLiteral("HKEY_LOCAL_MACHINE");
}

QByteArray headerLine(Hive hive)
{
    return "; PPC Quillmark registry hive " + hiveName(hive).toLatin1();
}

QString fold(const QString& s)
{
    return s.toCaseFolded();
}

QList<QStringView> parts(QStringView path)
{
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// --- text escapes -------------------------------------------------------

QString hex2(uint v)
{
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

QString quoted(const QString& s)
{
    QString out;
    out.reserve(s.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '"': out += QStringLiteral("\\\""); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x") + hex2(c.unicode());
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// Reads the quoted text that starts at pos; pos ends just past the closing
// quote. The reason when the text cannot be read, else nullptr.
const char* unquote(QStringView line, qsizetype& pos, QString& out)
{
    if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
        return "a name or value not in quotes";
    out.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('"')) {
            pos = i + 1;
            return nullptr;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= line.size())
            break;
        switch (line.at(i).unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '"': out += QLatin1Char('"'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'x': {
            bool ok = false;
            const uint v = i + 2 < line.size() ? line.sliced(i + 1, 2).toUInt(&ok, 16) : 0;
            if (!ok)
                return "an unknown escape";
            out += QChar(char16_t(v));
            i += 2;
            break;
        }
        default: return "an unknown escape";
        }
    }
    return "a quote that is not closed";
}

QString escapedPath(const QString& path)
{
    QString out;
    for (const QChar c : path) {
        if (c == QLatin1Char('%') || c.unicode() < 0x20 || c.unicode() == 0x7F)
            out += QLatin1Char('%') + hex2(c.unicode());
        else
            out += c;
    }
    return out;
}

QString unescapedPath(QStringView s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('%') && i + 2 < s.size()) {
            bool ok = false;
            const uint v = s.sliced(i + 1, 2).toUInt(&ok, 16);
            if (ok) {
                out += QChar(char16_t(v));
                i += 2;
                continue;
            }
        }
        out += s.at(i);
    }
    return out;
}

// --- keys and values -------------------------------------------------------

void clear(HiveData& hive)
{
    hive.pending = false;
    hive.keys.assign(1, Key());
    hive.subkeys.clear();
    hive.values.clear();
    hive.preamble.clear();
    hive.order.clear();
}

// The key's index (0 for the hive itself), or -1 when it is missing.
int findKey(const HiveData& hive, QStringView path)
{
    int key = 0;
    for (const QStringView part : parts(path)) {
        key = hive.subkeys.value(NameId(key, fold(part.toString())), -1);
        if (key < 0)
            return -1;
    }
    return key;
}

// Makes the key and its missing parents; the key's index.
int makeKey(HiveData& hive, QStringView path)
{
    int key = 0;
    for (const QStringView part : parts(path)) {
        const QString name = part.toString();
        const NameId id(key, fold(name));
        const auto found = hive.subkeys.constFind(id);
        if (found != hive.subkeys.constEnd()) {
            key = *found;
            continue;
        }
        const int made = int(hive.keys.size());
        Key subkey;
        subkey.name = name;
        subkey.parent = key;
        hive.keys.push_back(std::move(subkey));
        ++hive.keys[size_t(key)].subkeys;
        hive.subkeys.insert(id, made);
        key = made;
    }
    return key;
}

void list(HiveData& hive, int key)
{
    Key& k = hive.keys[size_t(key)];
    if (k.listed)
        return;
    k.listed = true;
    hive.order.append(key);
}

QString pathOf(const HiveData& hive, int key)
{
    QStringList names;
    for (int k = key; k > 0; k = hive.keys[size_t(k)].parent)
        names.append(hive.keys[size_t(k)].name);
    std::reverse(names.begin(), names.end());
    return names.join(QLatin1Char('\\'));
}

// Stores the value; false when it held that text already.
bool store(HiveData& hive, int key, const QString& name, const QString& text)
{
    QList<Entry>& entries = hive.keys[size_t(key)].entries;
    const NameId id(key, fold(name));
    const auto found = hive.values.constFind(id);
    if (found != hive.values.constEnd()) {
        QString& stored = entries[*found].text;
        if (stored == text)
            return false;
        stored = text;
        return true;
    }
    hive.values.insert(id, entries.size());
    entries.append(Entry{name, text, {}});
    list(hive, key);
    return true;
}

// --- reading and writing the file -----------------------------------------

// Reads a value line; the reason when it cannot be read, else nullptr.
const char* valueLine(QStringView line, QString& name, QString& text)
{
    if (!line.startsWith(QLatin1Char('"')))
        return "neither a key nor a value";
    qsizetype pos = 0;
    if (const char* why = unquote(line, pos, name))
        return why;
    while (pos < line.size() && isBlank(line.at(pos)))
        ++pos;
    if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
        return "no \"=\" after the name";
    ++pos;
    while (pos < line.size() && isBlank(line.at(pos)))
        ++pos;
    if (const char* why = unquote(line, pos, text))
        return why;
    return pos == line.size() ? nullptr : "text after the value";
}

void parse(HiveData& hive, Hive which, const QByteArray& bytes)
{
    const QByteArray ownHeader = headerLine(which);
    int current = -1; // the key that gets the lines; -1 above the first key
    qsizetype lineNumber = 0;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        // A line kept unread keeps its carriage return too: written back
        // without it, a line that had one of its own would lose that at the
        // next reading, one more at each save.
        QByteArrayView whole(bytes.constData() + start, end - start);
        start = end + 1;
        ++lineNumber;
        if (lineNumber == 1 && whole.startsWith("\xEF\xBB\xBF"))
            whole = whole.sliced(3);
        QByteArrayView raw = whole;
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (lineNumber == 1 && raw == ownHeader)
            continue; // written anew by every save

        const auto keep = [&](const char* reason) {
            if (current < 0)
                hive.preamble.append(whole.toByteArray());
            else
                hive.keys[size_t(current)].entries.append(Entry{{}, {}, whole.toByteArray()});
            if (reason)
                g_problems.append(QStringLiteral("%1 line %2: %3; the line is kept as it is")
                                      .arg(hive.file)
                                      .arg(lineNumber)
                                      .arg(QLatin1String(reason)));
        };
        if (!CodePage::isValidUtf8(raw)) {
            keep("not UTF-8");
            continue;
        }
        const QString text = QString::fromUtf8(raw);
        const QStringView line = trimmedBlanks(text);
        if (line.isEmpty())
            continue; // every save writes its own blank lines
        if (line.startsWith(QLatin1Char(';'))) {
            keep(nullptr);
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            const QString path = line.endsWith(QLatin1Char(']')) ? unescapedPath(line.sliced(1, line.size() - 2))
                                                                 : QString();
            if (!parts(path).isEmpty()) {
                current = makeKey(hive, path);
                list(hive, current);
                continue;
            }
            // Its lines must not fall to the key above, nor take a value saved there later.
            current = int(hive.keys.size());
            hive.keys.push_back(Key{});
            hive.keys.back().detached = true;
            list(hive, current);
            keep("a key header without a key name; the lines up to the next key are kept unread");
            continue;
        }
        if (current < 0) {
            keep("a value outside any key");
            continue;
        }
        if (hive.keys[size_t(current)].detached) {
            keep(nullptr);
            continue;
        }
        QString name;
        QString value;
        if (const char* why = valueLine(line, name, value))
            keep(why);
        else
            store(hive, current, name, value);
    }
}

QByteArray serialised(Hive which, const HiveData& hive)
{
    QByteArray out = headerLine(which) + '\n';
    for (const QByteArray& line : hive.preamble)
        out += line + '\n';
    for (const int k : hive.order) {
        const Key& key = hive.keys[size_t(k)];
        // A key with subkeys and nothing of its own comes back from their headers.
        if (!key.detached && key.entries.isEmpty() && key.subkeys > 0)
            continue;
        out += '\n';
        if (!key.detached)
            out += '[' + CodePage::encode(escapedPath(pathOf(hive, k))) + "]\n";
        for (const Entry& e : key.entries) {
            out += e.kept.isEmpty() ? CodePage::encode(quoted(e.name) + QLatin1Char('=') + quoted(e.text)) : e.kept;
            out += '\n';
        }
    }
    return out;
}

void remember(HiveData& hive)
{
    const QFileInfo info(hive.file);
    hive.existed = info.exists();
    hive.modified = hive.existed ? info.lastModified() : QDateTime();
    hive.size = hive.existed ? info.size() : -1;
}

bool changedOnDisk(const HiveData& hive)
{
    const QFileInfo info(hive.file);
    if (info.exists() != hive.existed)
        return true;
    return hive.existed && (info.lastModified() != hive.modified || info.size() != hive.size);
}

HiveData& loaded(Hive which)
{
    HiveData& hive = data(which);
    const QString file = hiveFile(which);
    // The batch's changes are kept until its commit writes them over the file.
    if (hive.loaded && hive.file == file && (hive.pending || !changedOnDisk(hive)))
        return hive;
    hive.file = file;
    clear(hive);
    hive.loaded = true;
    QFile f(file);
    if (f.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = f.readAll();
        // Part of a file is no hive: what was not read would be lost at the next save.
        if (f.error() == QFileDevice::NoError)
            parse(hive, which, bytes);
        else
            clear(hive);
    }
    hive.unreadable = f.exists() && (!f.isOpen() || f.error() != QFileDevice::NoError);
    if (hive.unreadable && hive.reportedUnreadable != file)
        g_problems.append(QStringLiteral("%1: it cannot be read (%2); its values are not used and it is left as it is")
                              .arg(file, f.errorString()));
    hive.reportedUnreadable = hive.unreadable ? file : QString();
    remember(hive);
    return hive;
}

bool save(Hive which, HiveData& hive, QString* error)
{
    // Saving what little was read would replace the user's settings with it.
    if (hive.unreadable) {
        hive.loaded = false; // read again next time: it may have been mended
        if (error)
            *error = QStringLiteral("it could not be read");
        return false;
    }
    QDir().mkpath(QFileInfo(hive.file).absolutePath());
    const SaveResult result = saveAtomically(hive.file, serialised(which, hive),
                                             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Whatever happened, the next access compares against the file as it is.
    if (result.ok)
        remember(hive);
    else
        hive.loaded = false;
    if (!result.ok && error)
        *error = result.errorText;
    return result.ok;
}

// A change made in memory: saved now, or by the open batch's commit.
bool changed(Hive which, HiveData& hive, QString* error)
{
    if (g_batchOpen) {
        hive.pending = true;
        return true;
    }
    return save(which, hive, error);
}

// Forgets the hive's unsaved changes: the next access reads the file.
void drop(HiveData& hive)
{
    hive.pending = false;
    hive.loaded = false;
}

constexpr Hive kCommitOrder[] = {Hive::CurrentUser, Hive::LocalMachine};

} // namespace

QString hiveFile(Hive hive)
{
    return Locations::join(Locations::registryDir(), hiveName(hive) + QStringLiteral(".reg"));
}

bool keyExists(Hive which, const QString& key)
{
    return findKey(loaded(which), key) >= 0;
}

bool createKey(Hive which, const QString& key, bool* existed, QString* error)
{
    HiveData& hive = loaded(which);
    const bool there = findKey(hive, key) >= 0;
    if (existed)
        *existed = there;
    if (there)
        return true;
    list(hive, makeKey(hive, key));
    return changed(which, hive, error);
}

std::optional<QString> value(Hive which, const QString& key, const QString& name)
{
    const HiveData& hive = loaded(which);
    const int k = findKey(hive, key);
    if (k <= 0)
        return std::nullopt; // missing, or the hive itself: values live under keys only
    const auto found = hive.values.constFind(NameId(k, fold(name)));
    if (found == hive.values.constEnd())
        return std::nullopt;
    return hive.keys[size_t(k)].entries.at(*found).text;
}

bool setValue(Hive which, const QString& key, const QString& name, const QString& text, QString* error)
{
    HiveData& hive = loaded(which);
    const int k = findKey(hive, key);
    if (k <= 0) {
        if (error)
            *error = QStringLiteral("the key does not exist");
        return false;
    }
    if (!store(hive, k, name, text))
        return true;
    return changed(which, hive, error);
}

Batch::Batch()
{
    Q_ASSERT(!g_batchOpen);
    g_batchOpen = true;
}

Batch::~Batch()
{
    if (!m_committed) {
        for (HiveData& hive : g_hives) {
            if (hive.pending)
                drop(hive);
        }
    }
    g_batchOpen = false;
}

bool Batch::commit()
{
    Q_ASSERT(!m_committed);
    m_committed = true;
    g_batchOpen = false;
    bool ok = true;
    for (const Hive which : kCommitOrder) {
        HiveData& hive = data(which);
        if (!hive.pending)
            continue;
        QString& why = m_errors[which == Hive::CurrentUser ? 0 : 1];
        if (!ok) {
            drop(hive);
            why = QStringLiteral("an earlier hive could not be saved");
            continue;
        }
        hive.pending = false;
        ok = save(which, hive, &why);
    }
    return ok;
}

QString Batch::error(Hive hive) const
{
    return m_errors[hive == Hive::CurrentUser ? 0 : 1];
}

QStringList takeReadProblems()
{
    return std::exchange(g_problems, QStringList());
}

void reset()
{
    for (HiveData& hive : g_hives)
        hive = HiveData();
    g_problems.clear();
}

} // namespace platform::Registry
