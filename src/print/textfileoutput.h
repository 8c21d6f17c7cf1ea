#pragma once

#include "documentoutput.h"

#include <QFile>

/// Writes a document as plain text (UTF-8, "\n" line ends): texts padded
/// with spaces to where they stand on the page, a form feed for each page
/// break, no lines and no page height. What is written is flushed at once,
/// so every failure surfaces at the writing operation that caused it.
class TextFileOutput final : public DocumentOutput
{
public:
    /// Creates or overwrites the file; FileCreateError when that fails.
    explicit TextFileOutput(const QString &fileName);

    bool hasPageHeight() const override { return false; }
    void beginPage() override;
    void endLine() override;
    void text(QPointF origin, const QString &text, const QFont &font, const TextGaps &gaps) override;
    void line(QPoint, QPoint, int) override { } // frames and borders have no text form
    void close() override;

private:
    void write(const QString &text);

    QFile m_file;
};
