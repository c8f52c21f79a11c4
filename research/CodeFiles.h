#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The country and language code files that keyword research targets by
// name: CountryNCodeGoogle.rpt and LanguageNCode.rpt, installed with the
// program (platform::Locations::installedFile: the program folder's copy,
// else the one beside the executable, else the installation's). Each is a
// profile file whose first lines (up to a marker line) list the names as
// "name=code", and whose "CountryID" (respectively "LanguageID") section
// maps each listed name to the identifier the research request sends (read
// with IniFiles::ReadINI).
namespace CodeFiles {

// The file's path, or "" after telling the user that it is missing
// (information box "Country Code File" / "Language Code File", naming the
// file's path in the program folder).
QString GetCountryCodeFile();
QString GetLanguageCodeFile();

// The names before the marker line, in file order: the country file stops
// at a line beginning with "[Country Code]", the language file at a line
// ending with "[LanguageCode]" (without regard to case). Lines beginning
// with "[" and lines without "=" are skipped; a name is the text before the
// first "=", untrimmed. Lines end with CRLF or LF; a file of a single line
// lists nothing. No list (nullopt) when the file is missing (the user was
// told), cannot be read or is larger than kMaxCodeFileBytes (logged): the
// installed files are a few kilobytes, and a list of millions of names
// would hold the research window for a long time and much memory.
inline constexpr qint64 kMaxCodeFileBytes = 16 * 1024 * 1024;
std::optional<QStringList> PopulateListCountryGoogle();
std::optional<QStringList> PopulateListLanguage();

} // namespace CodeFiles
