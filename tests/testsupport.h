#pragma once

#include "celltable.h"
#include "messages.h"

#include <gtest/gtest.h>
#include <ostream>
#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

// Lets gtest print Qt strings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

/// While it lives, the tests have a runtime folder of their own, so that the
/// single-instance lock of the tests never meets that of a Worktally the user
/// is running; and a data home of their own, so that no test reaches the
/// user's worksheet, nor the user's state folder with the worksheets saved by
/// a signalled exit. Made before the application.
class PrivateFolders
{
public:
    PrivateFolders();

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_dataHome;
    QTemporaryDir m_stateHome;
};

/// Records the messages the program would show in message boxes, and answers
/// its questions from a script: the next of answers, or the safe choice once
/// the script has run out.
class MessageRecorder
{
public:
    MessageRecorder();
    ~MessageRecorder();

    QStringList texts;
    QList<MessageKind> kinds;

    QList<int> answers;
    QStringList questions;
    QList<QStringList> questionButtons;

private:
    MessagePresenter m_previous;
    QuestionPresenter m_previousQuestions;
};

/// The empty bottom line as Hourbook.csv holds it.
extern const QByteArray BottomLineCsv;
/// A period of day 01 … 28 of December 1998 as the program writes it: 08:00
/// to 12:30, owing 07:24 that day, with note (its quotes doubled already).
QByteArray morningPeriodCsv(int day, const QByteArray &note);

/// Hourbook.csv holding the two rows of the worked example of the totals
/// (home 12:45, nominal 14:48, difference -02:03) and the bottom line.
extern const QByteArray WorkedExampleFile;
/// The worked example with line (a row ended by CR LF) above its bottom line.
QByteArray workedExampleWith(const QByteArray &line);

/// Hourbook.csv as another program left it, and what Worktally saves of it.
struct ForeignWorksheet
{
    const char *name;
    QByteArray bytes;
    QByteArray saved; // once read and recalculated in December 2026
};
/// The worked example as other programs change it: a line appended below the
/// bottom line, a blank line in the middle, CR CR LF line ends, a heading line,
/// a spreadsheet's forms, a quote inside a quoted note, a stray byte beside
/// UTF-8, a line ending in many commas.
std::vector<ForeignWorksheet> foreignWorksheets();
/// The fields of each line of a worksheet file that holds any.
QList<QStringList> csvLines(const QByteArray &bytes);

/// A worksheet with a title row, the given data rows and the bottom line.
CellTable worksheetCells(const std::vector<QStringList> &rows);
/// A data row: a period and its nominal entry.
QStringList dataRow(
    const QString &start, const QString &end, const QString &time, const QString &date, const QString &owed);

/// While it lives, files are reached as an ordinary user reaches them, so that
/// permissions bind: the superuser, whom they do not bind, gives folder to
/// the user nobody and takes that user's identity for the time; any other
/// user stays who they are. ok() is false when the identity could not be
/// taken.
class OrdinaryUser
{
public:
    explicit OrdinaryUser(const QString &folder);
    ~OrdinaryUser();
    OrdinaryUser(const OrdinaryUser &) = delete;
    OrdinaryUser &operator=(const OrdinaryUser &) = delete;

    bool ok() const { return m_ok; }

private:
    bool m_superuser;
    bool m_ok = true;
};

/// utf8 encoded again as UTF-16 in the given byte order, led by its
/// byte-order mark, as an editor may save a file.
QByteArray utf16(const QByteArray &utf8, QStringConverter::Encoding encoding);

/// Called by the widget test programs' main(): where the modules' code is
/// linked in, puts it in use; the module test leaves the program's own way of
/// loading the module files.
void setUpModules();

/// Writes bytes to a file, creating or replacing it.
void writeFile(const QString &path, const QByteArray &bytes);
QByteArray readFile(const QString &path);

/// The message of the E that action raises; a test failure if it raises none.
template<typename E, typename Action> QString messageOf(Action &&action)
{
    try {
        action();
    } catch (const E &e) {
        return e.message();
    }
    ADD_FAILURE() << "nothing was raised";
    return {};
}
