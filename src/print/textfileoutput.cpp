#include "textfileoutput.h"

#include "errors.h"

#include <algorithm>

namespace {

QString spacesFor(const TextGaps &gaps, int pixels)
{
    // A text wider than its column leaves a negative gap: no spaces.
    return QString(std::max(0, pixels / std::max(1, gaps.spaceWidth)), u' ');
}

WorktallyError writeError(const QFile &file)
{
    return WorktallyError(QStringLiteral("Cannot write file %1").arg(file.fileName()));
}

} // namespace

TextFileOutput::TextFileOutput(const QString &fileName)
    : m_file(fileName)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileCreateError(fileName);
}

void TextFileOutput::beginPage()
{
    write(QStringLiteral("\f\n"));
}

void TextFileOutput::endLine()
{
    write(QStringLiteral("\n"));
}

void TextFileOutput::text(QPointF, const QString &text, const QFont &, const TextGaps &gaps)
{
    write(spacesFor(gaps, gaps.before) + text + spacesFor(gaps, gaps.after));
}

void TextFileOutput::close()
{
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        throw writeError(m_file);
}

void TextFileOutput::write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (m_file.write(bytes) != bytes.size() || !m_file.flush())
        throw writeError(m_file);
}
