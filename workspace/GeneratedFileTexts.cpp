#include "workspace/GeneratedFileTexts.h"

#include "generator/AdFileRows.h"
#include "generator/ImportFormat.h"
#include "platform/Locations.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QTextDocument>
#include <QThread>

#include <thread>

namespace {

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
    // In the encoding the file's list reads it in, so that both show the same rows.
    const AdFiles::Encoding encoding = AdFiles::fileEncoding(bytes, t.fileSize);
    bytes.truncate(AdFiles::shownLength(bytes, t.fileSize, encoding));
    t.shownBytes = bytes.size();
    QString text = AdFiles::textViewText(AdFiles::decodeText(bytes, encoding));
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
