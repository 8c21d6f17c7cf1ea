#pragma once

#include "columnformat.h"
#include "datetime.h"

// The short code language of friendly headers and footers: "&l", "&c" and
// "&r" start a left, centred or right cell; "&d" "&D" "&t" "&T" give today's
// short or long date and the short or long time; "&f" and "&F" the file name
// without or with its folder; "&p" the page number and "&i" the title on
// each page; "&&" an ampersand. Everything else is copied.

/// What the codes stand for at the moment of translation.
struct FriendlyContext
{
    QString fileName;
    DateTime now = 0;
    /// The width shared out among the cells, in the measure unit.
    double bodyWidth = 0;
    FormatRules rules;
};

/// A header or footer row with its column format.
struct FriendlyRow
{
    QString row;
    QString format;
};

/// The row text and the format that give each cell an equal share of the
/// body width.
FriendlyRow translateFriendlyCode(QStringView code, const FriendlyContext &context);

/// The file name without its folder, whichever separator the path uses.
QString fileNameOnly(const QString &path);
