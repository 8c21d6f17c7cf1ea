#pragma once

#include "messages.h"

#include <gtest/gtest.h>
#include <ostream>
#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Lets gtest print Qt strings in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

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

/// The largest difference in grey level between a pixel of area and
/// background: how well the text drawn there stands out.
int strongestContrast(const QImage &image, const QRect &area, const QColor &background);

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
