#pragma once

#include "generator/AdFileRows.h"

#include <QString>

#include <array>
#include <memory>

class QTextDocument;
class QThread;

// What the text views of the "Adwords Files" tab show of the three import
// files of a campaign folder: the first kShownBytes of each (whole lines),
// decoded in the one encoding that the file's list reads it in too
// (AdFiles::fileEncoding), "%2C" shown as ",", and laid out as a plain-text
// document ready for its view. Laying out a megabyte of short lines takes
// tens of milliseconds, so the three files are read on threads of their own,
// and read() may itself run on any thread: the documents then belong to the
// thread that shows them.
class GeneratedFileTexts
{
public:
    static constexpr qint64 kShownBytes = AdFiles::kShownBytes;

    struct Text {
        bool exists = false;
        QString error;      // the file exists but could not be read, or is no regular file
        qint64 fileSize = 0;
        qint64 shownBytes = 0; // fewer than fileSize: the rest is not shown
        std::unique_ptr<QTextDocument> document; // null when there is nothing to show
    };

    // Reads AdwordsKeywords.csv, AdwordsAds.csv and AdwordsAdGroups.csv of
    // campaignFolder (index 0 to 2); the documents are for viewThread.
    static GeneratedFileTexts read(const QString& campaignFolder, QThread* viewThread);

    GeneratedFileTexts();
    GeneratedFileTexts(GeneratedFileTexts&&) noexcept;
    GeneratedFileTexts& operator=(GeneratedFileTexts&&) noexcept;
    ~GeneratedFileTexts();

    Text& file(int index) { return m_files[size_t(index)]; }

private:
    std::array<Text, 3> m_files;
};
