#include "testsupport.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QFile>

MessageRecorder::MessageRecorder()
{
    m_previous = setMessagePresenter([this](MessageKind kind, const QString &text) {
        kinds << kind;
        texts << text;
    });
    m_previousQuestions = setQuestionPresenter([this](const QString &text, const QStringList &buttons, int safeChoice) {
        questions << text;
        questionButtons << buttons;
        return answers.isEmpty() ? safeChoice : answers.takeFirst();
    });
}

MessageRecorder::~MessageRecorder()
{
    setMessagePresenter(std::move(m_previous));
    setQuestionPresenter(std::move(m_previousQuestions));
}

int strongestContrast(const QImage &image, const QRect &area, const QColor &background)
{
    int contrast = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            contrast = std::max(contrast, std::abs(qGray(image.pixel(x, y)) - qGray(background.rgb())));
    return contrast;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
