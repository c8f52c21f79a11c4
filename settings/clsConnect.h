#pragma once

#include <QString>

// Utility for fetched web text and HTTP connection settings.
class clsConnect
{
public:
    clsConnect();
    ~clsConnect();

    // The text from the first startMarker (marker included) up to the next
    // endMarker (excluded), blanks trimmed; all searches ignore case.
    // With cut, text loses everything up to and including the end marker.
    // Without an end marker the result is "" and text advances one character
    // past the start of the marker, whatever cut says.
    QString FindSection(QString& text, const QString& startMarker, const QString& endMarker, bool cut);
};
