#pragma once

#include <exception>
#include <QByteArray>
#include <QString>

/// Base of every failure the program reports to the user. The message is the
/// exact text shown in the message box.
class WorktallyError : public std::exception
{
public:
    explicit WorktallyError(QString message);

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

/// A text that does not read as the value it should hold.
class ConversionError : public WorktallyError
{
public:
    using WorktallyError::WorktallyError;

    static ConversionError invalidDateTime(QStringView text);
    static ConversionError invalidDate(QStringView text);
    static ConversionError invalidTime(QStringView text);
    static ConversionError invalidInteger(QStringView text);
};

/// A file that cannot be opened for reading.
class FileOpenError : public WorktallyError
{
public:
    explicit FileOpenError(const QString &path);
};

/// A file that cannot be created or written.
class FileCreateError : public WorktallyError
{
public:
    explicit FileCreateError(const QString &path);
};

/// An index outside a list or collection.
class ListIndexError : public WorktallyError
{
public:
    explicit ListIndexError(qsizetype index);
};
