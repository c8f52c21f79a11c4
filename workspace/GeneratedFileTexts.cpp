#include "workspace/GeneratedFileTexts.h"

#include "generator/ImportFormat.h"
#include "platform/Locations.h"
#include "platform/RegularFile.h"
#include "workspace/AdFileRows.h"

#include <QFile>
#include <QTextDocument>
#include <QThread>

#include <thread>

namespace {

// Cuts bytes, the first part of a longer file, after its last whole line,
// or when it holds no line end before a character that it would cut, so
// that UTF-8 text stays UTF-8.
void endWithWholeLine(QByteArray& bytes)
{
    const qsizetype nl = bytes.lastIndexOf('\n');
    if (nl >= 0) {
        bytes.truncate(nl + 1);
        return;
    }
    qsizetype lead = bytes.size() - 1;
    while (lead >= 0 && bytes.size() - lead < 4 && (static_cast<uchar>(bytes[lead]) & 0xC0) == 0x80)
        --lead;
    if (lead >= 0) {
        const uchar c = static_cast<uchar>(bytes[lead]);
        const qsizetype need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (need > bytes.size() - lead)
            bytes.truncate(lead);
    }
}

// The text with each CRLF as one line break (the document would make two).
void joinCrLf(QString& text)
{
    QChar* const begin = text.data();
    QChar* const end = begin + text.size();
    QChar* out = begin;
    for (QChar* in = begin; in != end; ++in) {
        if (*in == QLatin1Char('\r') && in + 1 != end && in[1] == QLatin1Char('\n'))
            continue;
        *out++ = *in;
    }
    text.truncate(out - begin);
}

GeneratedFileTexts::Text readText(const QString& path, QThread* viewThread)
{
    GeneratedFileTexts::Text t;
    QFile file(path);
    t.exists = file.exists();
    if (!t.exists)
        return t; // a missing file reads as empty
    if (!platform::openRegularFile(file, &t.error))
        return t;
    t.fileSize = file.size();
    QByteArray bytes = file.read(GeneratedFileTexts::kShownBytes);
    if (t.fileSize > bytes.size())
        endWithWholeLine(bytes);
    t.shownBytes = bytes.size();
    QString text = AdFiles::textViewText(AdFiles::decodeText(bytes));
    joinCrLf(text);
    t.document = std::make_unique<QTextDocument>();
    t.document->setUndoRedoEnabled(false);
    t.document->setPlainText(text);
    t.document->moveToThread(viewThread);
    return t;
}

} // namespace

GeneratedFileTexts::GeneratedFileTexts() = default;
GeneratedFileTexts::GeneratedFileTexts(GeneratedFileTexts&&) noexcept = default;
GeneratedFileTexts& GeneratedFileTexts::operator=(GeneratedFileTexts&&) noexcept = default;
GeneratedFileTexts::~GeneratedFileTexts() = default;

GeneratedFileTexts GeneratedFileTexts::read(const QString& campaignFolder, QThread* viewThread)
{
    GeneratedFileTexts texts;
    const auto readFile = [&](int i) {
        const QString path =
            platform::Locations::join(campaignFolder, ImportFormat::fileName(ImportFormat::File(i)));
        texts.m_files[size_t(i)] = readText(path, viewThread);
    };
    std::thread keywords(readFile, 0);
    std::thread ads(readFile, 1);
    readFile(2);
    keywords.join();
    ads.join();
    return texts;
}
