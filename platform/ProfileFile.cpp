#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "platform/Blanks.h"
#include "platform/CodePage.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QStringList>

namespace platform::ProfileFile {

namespace {

QString trimmed(QStringView s)
{
    return trimmedBlanks(s).toString();
}

// A name or value as it can stand on one line: CR and LF become blanks, blanks
// at both ends are dropped.
QString oneLine(const QString& s)
{
    QString line = s;
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return trimmed(line);
}

// The file's lines without their line ends; false and the reason when it
// cannot be read or is no regular file.
bool readLines(const QString& path, QStringList& lines, QString& error)
{
    QFile f(path);
    if (!openRegularFile(f, &error))
        return false;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        error = f.errorString();
        return false;
    }
    const QString text = CodePage::decode(bytes);
    lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast(); // the file ended with a line break
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return true;
}

// The section name of a "[name]" line; false for any other line.
bool sectionName(const QString& line, QString& name)
{
    const QString t = trimmed(line);
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    // The name ends at the line's last "]", so a name may hold "]"; a line
    // without one is no section header.
    const qsizetype close = t.lastIndexOf(QLatin1Char(']'));
    if (close < 1)
        return false;
    name = trimmed(QStringView(t).mid(1, close - 1));
    return true;
}

// The key (and value) of a "key=value" line; false for any other line.
bool keyLine(const QString& line, QString& key, QString* value = nullptr)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    const QString k = trimmed(QStringView(line).left(eq));
    if (k.startsWith(QLatin1Char(';')))
        return false;
    key = k;
    if (value)
        *value = trimmed(QStringView(line).mid(eq + 1));
    return true;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first line of the first matching section header, or -1.
qsizetype findSection(const QStringList& lines, const QString& section)
{
    const QString wanted = oneLine(section);
    QString name;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (sectionName(lines.at(i), name) && sameName(name, wanted))
            return i;
    }
    return -1;
}

// Index just past the last line of the section that starts at header.
qsizetype sectionEnd(const QStringList& lines, qsizetype header)
{
    QString name;
    qsizetype i = header + 1;
    while (i < lines.size() && !sectionName(lines.at(i), name))
        ++i;
    return i;
}

} // namespace

bool Document::load(const QString& file, QString* error)
{
    m_lines.clear();
    if (file.isEmpty() || !QFile::exists(file))
        return true;
    QString why;
    if (readLines(file, m_lines, why))
        return true;
    if (error)
        *error = why;
    return false;
}

QString Document::value(const QString& section, const QString& key) const
{
    const qsizetype header = findSection(m_lines, section);
    if (header < 0)
        return QString();
    const qsizetype end = sectionEnd(m_lines, header);
    const QString wanted = oneLine(key);
    QString k;
    QString v;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (keyLine(m_lines.at(i), k, &v) && sameName(k, wanted))
            return v;
    }
    return QString();
}

void Document::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString sectionText = oneLine(section);
    const QString keyText = oneLine(key);
    const QString valueText = oneLine(value);

    const qsizetype header = findSection(m_lines, sectionText);
    if (header < 0) {
        m_lines << QLatin1Char('[') + sectionText + QLatin1Char(']');
        m_lines << keyText + QLatin1Char('=') + valueText;
        return;
    }
    const qsizetype end = sectionEnd(m_lines, header);
    qsizetype found = -1;
    qsizetype lastFilled = header;
    QString k;
    for (qsizetype i = header + 1; i < end; ++i) {
        if (!trimmed(m_lines.at(i)).isEmpty())
            lastFilled = i;
        if (found < 0 && keyLine(m_lines.at(i), k) && sameName(k, keyText))
            found = i;
    }
    if (found >= 0) {
        keyLine(m_lines.at(found), k);
        m_lines[found] = k + QLatin1Char('=') + valueText;
    } else {
        m_lines.insert(lastFilled + 1, keyText + QLatin1Char('=') + valueText);
    }
}

void Document::removeSection(const QString& section)
{
    qsizetype header;
    while ((header = findSection(m_lines, section)) >= 0)
        m_lines.remove(header, sectionEnd(m_lines, header) - header);
}

bool Document::save(const QString& file, QString* error) const
{
    QByteArray bytes;
    for (const QString& line : m_lines) {
        bytes += CodePage::encode(line);
        bytes += "\r\n";
    }
    const SaveResult result = saveAtomically(file, bytes);
    if (!result.ok && error)
        *error = result.errorText;
    return result.ok;
}

QString read(const QString& file, const QString& section, const QString& key)
{
    Document document;
    if (file.isEmpty() || !document.load(file))
        return QString();
    return document.value(section, key);
}

bool write(const QString& file, const QString& section, const QString& key, const QString& value)
{
    Document document;
    if (file.isEmpty() || !document.load(file))
        return false;
    document.setValue(section, key, value);
    return document.save(file);
}

} // namespace platform::ProfileFile
