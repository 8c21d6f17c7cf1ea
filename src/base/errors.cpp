#include "errors.h"

WorktallyError::WorktallyError(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{ }

ConversionError ConversionError::invalidDateTime(QStringView text)
{
    return ConversionError(QStringLiteral("'%1' is not a valid date and time").arg(text));
}

ConversionError ConversionError::invalidDate(QStringView text)
{
    return ConversionError(QStringLiteral("'%1' is not a valid date").arg(text));
}

ConversionError ConversionError::invalidTime(QStringView text)
{
    return ConversionError(QStringLiteral("'%1' is not a valid time").arg(text));
}

ConversionError ConversionError::invalidInteger(QStringView text)
{
    return ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

FileOpenError::FileOpenError(const QString &path)
    : WorktallyError(QStringLiteral("Cannot open file %1").arg(path))
{ }

FileCreateError::FileCreateError(const QString &path)
    : WorktallyError(QStringLiteral("Cannot create file %1").arg(path))
{ }

ListIndexError::ListIndexError(qsizetype index)
    : WorktallyError(QStringLiteral("List index out of bounds (%1)").arg(index))
{ }
