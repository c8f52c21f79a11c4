#pragma once

#include <QString>

// What the request driver needs of the research window.
class KeywordResearchView
{
public:
    virtual ~KeywordResearchView() = default;
    // The progress bar: 1 when a request starts, 3 after a reply was read.
    virtual void setProgressValue(int value) = 0;
    // The status bar's first panel.
    virtual void setStatusText(const QString& text) = 0;
    // Called once after every request's end: success, error or cancel.
    virtual void DownLoadCompleted() = 0;
};
