#pragma once

#include <functional>
#include <QString>

// Cutting text to a width. The width of a prefix is asked of the caller, so
// the same rules serve the printer's fonts and plain tests alike.

/// Width in pixels of the first length characters of text.
using TextWidth = std::function<int(const QString &text, qsizetype length)>;

/// Each tab becomes the blanks up to the next stop, tabSize characters
/// apart counted in the text rebuilt so far. A tab size below 1 turns each
/// tab into one blank, which still keeps the words apart.
QString expandTabs(const QString &text, int tabSize);

/// Length of the longest prefix of text not wider than width, but at least
/// one character of a text that is not empty, so that every loop cutting
/// text with it advances. Binary search: a logarithmic number of widths.
qsizetype fitText(const QString &text, int width, const TextWidth &widthOf);

struct LineSplit
{
    QString part;
    QString rest;
};

/// What becomes of the blank or blanks right after a line's cut.
enum class BlanksAtCut
{
    Keep, ///< they begin the rest
    DropOne, ///< the one blank or control character at the cut is dropped
    DropSpaces, ///< every space there is dropped, so none makes a line of its own
};

/// The first line of text for width, broken after the last blank or control
/// character when the cut would fall inside a word (a word with no break
/// before it is split). What follows a cut at a blank is as blanks says.
LineSplit splitLine(const QString &text, int width, BlanksAtCut blanks, const TextWidth &widthOf);
