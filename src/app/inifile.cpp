#include "inifile.h"

#include <QFile>
#include <QSaveFile>

namespace {

const QByteArray ByteOrderMark = "\xEF\xBB\xBF";

// The text of a line without its line end and the blanks around it.
QByteArray content(const QByteArray &line)
{
    return line.trimmed();
}

bool hasLineEnd(const QByteArray &line)
{
    return line.endsWith('\n');
}

bool sameName(const QByteArray &name, QStringView wanted)
{
    return QString::fromUtf8(name.trimmed()).compare(wanted, Qt::CaseInsensitive) == 0;
}

} // namespace

bool IniFile::read(const QString &path)
{
    m_lines.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        m_lines << bytes.mid(start, end - start);
        start = end;
    }
    return true;
}

bool IniFile::write(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray &line : m_lines)
        file.write(line);
    return file.commit();
}

IniFile::Position IniFile::find(QStringView section, QStringView key) const
{
    Position position;
    bool inSection = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        QByteArray text = content(m_lines[i]);
        if (i == 0 && text.startsWith(ByteOrderMark)) // as an editor may save it
            text = text.mid(ByteOrderMark.size()).trimmed();
        if (text.startsWith('[')) {
            if (inSection) // the first section of that name counts
                break;
            const qsizetype close = text.indexOf(']');
            inSection = close > 0 && sameName(text.mid(1, close - 1), section);
            if (inSection)
                position.sectionEnd = i + 1;
            continue;
        }
        const qsizetype equals = text.indexOf('=');
        if (!inSection || text.startsWith(';') || text.startsWith('#') || equals < 0)
            continue;
        position.sectionEnd = i + 1;
        if (position.keyLine < 0 && sameName(text.left(equals), key))
            position.keyLine = i;
    }
    return position;
}

QByteArray IniFile::lineEnd() const
{
    for (const QByteArray &line : m_lines) {
        if (hasLineEnd(line))
            return line.endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    }
    return "\n";
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const
{
    const Position position = find(section, key);
    if (position.keyLine < 0)
        return std::nullopt;
    const QByteArray &line = m_lines[position.keyLine];
    QByteArray value = content(line.mid(line.indexOf('=') + 1));
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return QString::fromUtf8(value);
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const Position position = find(section, key);
    if (position.keyLine >= 0) {
        QByteArray &line = m_lines[position.keyLine];
        const QByteArray end = line.endsWith("\r\n") ? "\r\n" : hasLineEnd(line) ? "\n" : "";
        line = line.left(line.indexOf('=') + 1) + value.toUtf8() + end;
        return;
    }
    const QByteArray eol = lineEnd();
    QByteArrayList added;
    qsizetype at = position.sectionEnd;
    if (at < 0) {
        added << '[' + section.toUtf8() + ']' + eol;
        at = m_lines.size();
    }
    added << key.toUtf8() + '=' + value.toUtf8() + eol;
    // A last line without its line end gets one before a line follows it.
    if (at > 0 && !hasLineEnd(m_lines[at - 1]))
        m_lines[at - 1] += eol;
    for (const QByteArray &line : added)
        m_lines.insert(at++, line);
}
