#pragma once

#include "pageimage.h"

/// Where the page printer sends what a document writes, in printer pixels.
/// Pages for the preview and the printer are recorded by TPageRecorder; the
/// plain-text file of print-to-file mode is to be a second output of this
/// kind, chosen by BeginDocument, which turns texts into padded lines and
/// page breaks into form feeds.
class TDocumentOutput
{
public:
    virtual ~TDocumentOutput() = default;

    /// Whether lines must fit on pages of a height; a text file has none, so
    /// nothing breaks there.
    virtual bool hasPageHeight() const = 0;
    virtual void beginPage() = 0;
    /// NewLine has ended a line.
    virtual void endLine() = 0;
    virtual void text(QPointF origin, const QString &text, const QFont &font) = 0;
    virtual void line(QPoint from, QPoint to, int penWidth) = 0;
};

/// Records each page as a page image appended to a page list.
class TPageRecorder final : public TDocumentOutput
{
public:
    explicit TPageRecorder(TPageList &pages)
        : m_pages(pages)
    { }

    bool hasPageHeight() const override { return true; }
    void beginPage() override { m_pages.emplace_back(); }
    void endLine() override { } // a page image needs no line ends
    void text(QPointF origin, const QString &text, const QFont &font) override
    {
        if (!text.isEmpty()) // an empty cell leaves nothing to show
            m_pages.back().addText(origin, text, font);
    }
    void line(QPoint from, QPoint to, int penWidth) override { m_pages.back().addLine(from, to, penWidth); }

private:
    TPageList &m_pages;
};
