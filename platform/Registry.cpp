#include "platform/Registry.h"

#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/Locations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMap>
#include <QStringList>

namespace platform::Registry {

namespace {

struct Value {
    QString name;
    QString text;
};

struct Key {
    QString path;         // as first spelled
    QList<Value> values;  // in the order first stored
};

struct HiveData {
    QString file;          // the file the cache belongs to
    bool loaded = false;
    bool existed = false;  // stat of the file when last read or written
    bool unreadable = false; // the file exists but could not be read: never overwrite it
    QDateTime modified;
    qint64 size = -1;
    QMap<QString, Key> keys; // by case-folded path
};

HiveData g_hives[2];

HiveData& data(Hive hive)
{
    return g_hives[hive == Hive::CurrentUser ? 0 : 1];
}

QString hiveName(Hive hive)
{
    return hive == Hive::CurrentUser ? QStringLiteral("HKEY_CURRENT_USER")
                                     : QStringLiteral("HKEY_LOCAL_MACHINE");
}

QStringList parts(const QString& key)
{
    return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

QString fold(const QString& s)
{
    return s.toCaseFolded();
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

// Reads a quoted text starting at pos (which holds the opening quote); pos
// ends just past the closing quote. False when the text is malformed.
bool unquote(const QString& line, qsizetype& pos, QString& out)
{
    if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
        return false;
    out.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('"')) {
            pos = i + 1;
            return true;
        }
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= line.size())
            return false;
        switch (line.at(i).unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case '"': out += QLatin1Char('"'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'x': {
            bool ok = false;
            const uint v = line.mid(i + 1, 2).toUInt(&ok, 16);
            if (!ok || i + 2 >= line.size() || line.mid(i + 1, 2).size() != 2)
                return false;
            out += QChar(char16_t(v));
            i += 2;
            break;
        }
        default: return false;
        }
    }
    return false;
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

QString unescapedPath(const QString& s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('%') && i + 2 < s.size()) {
            bool ok = false;
            const uint v = s.mid(i + 1, 2).toUInt(&ok, 16);
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

// --- loading and saving --------------------------------------------------

void addKey(HiveData& hive, const QStringList& keyParts)
{
    QString path;
    for (const QString& part : keyParts) {
        path = path.isEmpty() ? part : path + QLatin1Char('\\') + part;
        const QString id = fold(path);
        if (!hive.keys.contains(id))
            hive.keys.insert(id, Key{path, {}});
    }
}

Value* findValue(Key& key, const QString& name)
{
    for (Value& v : key.values) {
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    }
    return nullptr;
}

void parse(HiveData& hive, const QString& text)
{
    Key* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QStringList keyParts = parts(unescapedPath(line.mid(1, line.size() - 2)));
            current = nullptr;
            if (keyParts.isEmpty())
                continue;
            addKey(hive, keyParts);
            current = &hive.keys[fold(keyParts.join(QLatin1Char('\\')))];
            continue;
        }
        if (!current || !line.startsWith(QLatin1Char('"')))
            continue;
        qsizetype pos = 0;
        QString name;
        QString value;
        if (!unquote(line, pos, name) || pos >= line.size() || line.at(pos) != QLatin1Char('='))
            continue;
        ++pos;
        if (!unquote(line, pos, value))
            continue;
        if (Value* existing = findValue(*current, name))
            existing->text = value;
        else
            current->values.append(Value{name, value});
    }
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
    if (hive.loaded && hive.file == file && !changedOnDisk(hive))
        return hive;
    hive.file = file;
    hive.keys.clear();
    hive.loaded = true;
    QFile f(file);
    if (f.open(QIODevice::ReadOnly))
        parse(hive, CodePage::decode(f.readAll()));
    hive.unreadable = f.exists() && !f.isOpen();
    remember(hive);
    return hive;
}

bool save(Hive which, HiveData& hive)
{
    // Saving what little was read would replace the user's settings with it.
    if (hive.unreadable) {
        hive.loaded = false;
        return false;
    }
    QString text = QStringLiteral("; PPC Quillmark registry hive ") + hiveName(which) + QStringLiteral("\n");
    for (const Key& key : std::as_const(hive.keys)) {
        text += QStringLiteral("\n[") + escapedPath(key.path) + QStringLiteral("]\n");
        for (const Value& v : key.values)
            text += quoted(v.name) + QLatin1Char('=') + quoted(v.text) + QLatin1Char('\n');
    }
    const QByteArray bytes = CodePage::encode(text);

    QDir().mkpath(QFileInfo(hive.file).absolutePath());
    const bool ok = saveAtomically(hive.file, bytes, QFileDevice::ReadOwner | QFileDevice::WriteOwner).ok;
    // Whatever happened, the next access compares against the file as it is.
    if (ok)
        remember(hive);
    else
        hive.loaded = false;
    return ok;
}

} // namespace

QString hiveFile(Hive hive)
{
    return Locations::join(Locations::registryDir(), hiveName(hive) + QStringLiteral(".reg"));
}

bool keyExists(Hive which, const QString& key)
{
    const QStringList keyParts = parts(key);
    if (keyParts.isEmpty())
        return true; // the hive itself
    return loaded(which).keys.contains(fold(keyParts.join(QLatin1Char('\\'))));
}

bool createKey(Hive which, const QString& key, bool* existed)
{
    HiveData& hive = loaded(which);
    const QStringList keyParts = parts(key);
    const bool there = keyParts.isEmpty() || hive.keys.contains(fold(keyParts.join(QLatin1Char('\\'))));
    if (existed)
        *existed = there;
    if (there)
        return true;
    addKey(hive, keyParts);
    return save(which, hive);
}

std::optional<QString> value(Hive which, const QString& key, const QString& name)
{
    HiveData& hive = loaded(which);
    const QStringList keyParts = parts(key);
    if (keyParts.isEmpty())
        return std::nullopt; // values live under keys only
    auto it = hive.keys.find(fold(keyParts.join(QLatin1Char('\\'))));
    if (it == hive.keys.end())
        return std::nullopt;
    if (const Value* v = findValue(*it, name))
        return v->text;
    return std::nullopt;
}

bool setValue(Hive which, const QString& key, const QString& name, const QString& text)
{
    HiveData& hive = loaded(which);
    const QStringList keyParts = parts(key);
    if (keyParts.isEmpty())
        return false;
    auto it = hive.keys.find(fold(keyParts.join(QLatin1Char('\\'))));
    if (it == hive.keys.end())
        return false;
    if (Value* v = findValue(*it, name)) {
        if (v->text == text)
            return true;
        v->text = text;
    } else {
        it->values.append(Value{name, text});
    }
    return save(which, hive);
}

void reset()
{
    for (HiveData& hive : g_hives)
        hive = HiveData();
}

} // namespace platform::Registry
