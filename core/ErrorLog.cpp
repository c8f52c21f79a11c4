#include "core/ErrorLog.h"

#include "platform/Locations.h"
#include "platform/LogLine.h"

#include <QFile>
#include <QLocale>
#include <QStringList>

#include <memory>
#include <mutex>
#include <utility>

namespace ErrorLog {

namespace {

struct LogFile {
    std::mutex mutex;    // held for each use of the rest
    bool opened = false; // set before the open is tried, as a file number would be
    std::unique_ptr<QFile> file;
    bool holding = false;
    QStringList held;    // records written while holding, in order
};

LogFile& logFile()
{
    static LogFile log;
    return log;
}

// One piece of a date-time format: a field (a run of one pattern letter), a
// quoted literal or a single other character.
struct FormatPiece {
    QString text;
    QChar field; // the pattern letter; null for literal text
};

QList<FormatPiece> formatPieces(const QString& format)
{
    QList<FormatPiece> pieces;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        qsizetype end = i + 1;
        if (c == QLatin1Char('\'')) {
            while (end < format.size() && format.at(end) != QLatin1Char('\''))
                ++end;
            end = qMin(end + 1, format.size());
            pieces.append({format.mid(i, end - i), QChar()});
        } else if (c.isLetter()) {
            while (end < format.size() && format.at(end) == c)
                ++end;
            pieces.append({format.mid(i, end - i), c});
        } else {
            pieces.append({QString(c), QChar()});
        }
        i = end;
    }
    return pieces;
}

// The locale's short date-and-time format with a four-digit year and with
// the seconds, which it leaves out: a log line must say exactly when.
QString logTimeFormat(const QLocale& locale)
{
    QList<FormatPiece> pieces = formatPieces(locale.dateTimeFormat(QLocale::ShortFormat));
    const auto isField = [](const FormatPiece& p, const char* letters) {
        return !p.field.isNull() && QByteArray(letters).contains(char(p.field.unicode()));
    };
    bool seconds = false;
    for (FormatPiece& p : pieces) {
        if (p.field == QLatin1Char('y') && p.text.size() == 2)
            p.text = QStringLiteral("yyyy");
        seconds = seconds || p.field == QLatin1Char('s');
    }
    if (!seconds) {
        // After the minutes, with the separator that stands between hours and minutes.
        qsizetype hour = -1;
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (isField(pieces.at(i), "hH")) {
                hour = i;
            } else if (hour >= 0 && pieces.at(i).field == QLatin1Char('m')) {
                QString separator;
                for (qsizetype k = hour + 1; k < i; ++k)
                    separator += pieces.at(k).text;
                if (separator.isEmpty() || separator.contains(QLatin1Char('\'')))
                    separator = QStringLiteral(":");
                pieces.insert(i + 1, {separator + QStringLiteral("ss"), QChar()});
                break;
            }
        }
    }
    QString format;
    for (const FormatPiece& p : pieces)
        format += p.text;
    return format;
}

// Appends one record, written as it is, to the log; log.mutex is held.
void appendRecord(LogFile& log, const QString& message)
{
    if (log.holding) {
        log.held.append(message);
        return;
    }
    if (!log.opened) {
        log.opened = true;
        auto file = std::make_unique<QFile>(
            platform::Locations::join(platform::Locations::programDir(), QStringLiteral("Error.log")));
        if (file->open(QIODevice::ReadWrite | QIODevice::Append))
            log.file = std::move(file);
    }
    if (!log.file)
        return;
    QByteArray record = message.toUtf8();
    record.append("\r\n");
    log.file->write(record);
    log.file->flush();
}

} // namespace

void WriteErrorLog(const QString& message)
{
    LogFile& log = logFile();
    const std::lock_guard<std::mutex> lock(log.mutex);
    appendRecord(log, platform::LogLine::oneLine(message));
}

void WriteErrorLogLines(const QStringList& lines)
{
    LogFile& log = logFile();
    const std::lock_guard<std::mutex> lock(log.mutex);
    appendRecord(log, platform::LogLine::lines(lines));
}

void CloseErrorLog()
{
    LogFile& log = logFile();
    const std::lock_guard<std::mutex> lock(log.mutex);
    log.file.reset();
    log.opened = false;
}

void HoldErrorLog()
{
    LogFile& log = logFile();
    const std::lock_guard<std::mutex> lock(log.mutex);
    log.holding = true;
}

void ReleaseErrorLog(const QStringList& first)
{
    LogFile& log = logFile();
    const std::lock_guard<std::mutex> lock(log.mutex);
    log.holding = false;
    appendRecord(log, platform::LogLine::lines(first));
    for (const QString& message : std::exchange(log.held, QStringList()))
        appendRecord(log, message);
}

QString DateTimeText(const QDateTime& when, const QLocale& locale)
{
    return locale.toString(when, logTimeFormat(locale));
}

QString NowText()
{
    return DateTimeText(QDateTime::currentDateTime());
}

} // namespace ErrorLog
