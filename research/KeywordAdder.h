#pragma once

#include <QStringList>

#include <functional>

// The keyword box of the open campaign that keyword research adds to.
enum class KeywordBox { Base, Extension };

// Appends the keywords, in order and one a line, to that box of the open
// campaign: the research window hands its ticked keywords to the window
// that holds the boxes, which needs nothing else of it.
using KeywordAdder = std::function<void(const QStringList& keywords, KeywordBox box)>;
