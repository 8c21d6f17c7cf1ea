#include "testsupport.h"

#include <gtest/gtest.h>
#include <QFile>

MessageRecorder::MessageRecorder()
{
    m_previous = setMessagePresenter([this](MessageKind kind, const QString &text) {
        kinds << kind;
        texts << text;
    });
}

MessageRecorder::~MessageRecorder()
{
    setMessagePresenter(std::move(m_previous));
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
