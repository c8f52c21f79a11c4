#include "research/CodeFiles.h"

#include "core/Conversions.h"
#include "core/ErrorLog.h"

#include "platform/CodePage.h"
#include "platform/Locations.h"
#include "platform/Prompter.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QRegularExpression>

namespace CodeFiles {

namespace {

struct CodeFile {
    const char* fileName;
    const char* missingTitle;
    const char* errorPrefix;
    bool (*isMarker)(const QString& line);
};

const QString kCountryMarker = QStringLiteral("[Country Code]");
const QString kLanguageMarker = QStringLiteral("[LanguageCode]");

const CodeFile kCountryFile{"CountryNCodeGoogle.rpt", "Country Code File", "modcommon _PopulateListCountryGoogle Error:  ",
                            [](const QString& line) { return line.startsWith(kCountryMarker, Qt::CaseInsensitive); }};
const CodeFile kLanguageFile{"LanguageNCode.rpt", "Language Code File", "modCommon_PopulateListLanguage Error:  ",
                             [](const QString& line) { return line.endsWith(kLanguageMarker, Qt::CaseInsensitive); }};

QString codeFilePath(const CodeFile& codeFile)
{
    const QString name = QString::fromLatin1(codeFile.fileName);
    const QString path = platform::Locations::installedFile(name);
    if (!path.isEmpty())
        return path;
    // The program folder is where a user puts a copy.
    platform::MsgBox(platform::Locations::join(platform::Locations::programDir(), name)
                         + QStringLiteral(" is missing.\r\n Please install it on your computer and try again!!!"),
                     platform::MsgButtons::OK, platform::MsgIcon::Information,
                     QString::fromLatin1(codeFile.missingTitle));
    return QString();
}

std::optional<QStringList> nameList(const CodeFile& codeFile)
{
    const QString path = codeFilePath(codeFile);
    if (Conversions::Trim(path).isEmpty())
        return std::nullopt;
    QFile file(path);
    QString why;
    if (!platform::openRegularFile(file, &why)) {
        ErrorLog::WriteErrorLog(QString::fromLatin1(codeFile.errorPrefix) + why);
        return std::nullopt;
    }
    // Read one byte past the limit: that is how an overlong file shows,
    // whatever size the file system gives for it.
    const QByteArray content = file.read(kMaxCodeFileBytes + 1);
    if (content.size() > kMaxCodeFileBytes) {
        ErrorLog::WriteErrorLog(QString::fromLatin1(codeFile.errorPrefix) + path + QStringLiteral(" is larger than ")
                      + QString::number(kMaxCodeFileBytes) + QStringLiteral(" bytes"));
        return std::nullopt;
    }
    static const QRegularExpression lineEnd(QStringLiteral("\r?\n"));
    const QStringList lines = platform::CodePage::decode(content).split(lineEnd);
    QStringList names;
    if (lines.size() < 2)
        return names;
    for (const QString& line : lines) {
        if (codeFile.isMarker(line))
            break;
        if (line.startsWith(QLatin1Char('[')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0)
            names.append(line.left(equals));
    }
    return names;
}

} // namespace

QString GetCountryCodeFile() { return codeFilePath(kCountryFile); }
QString GetLanguageCodeFile() { return codeFilePath(kLanguageFile); }
std::optional<QStringList> PopulateListCountryGoogle() { return nameList(kCountryFile); }
std::optional<QStringList> PopulateListLanguage() { return nameList(kLanguageFile); }

} // namespace CodeFiles
