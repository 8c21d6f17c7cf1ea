#pragma once

#include "pageimage.h"

#include <functional>

/// Blank room on the line of a text, in printer pixels: before it (from the
/// left margin, or from its column's edge in a table row) and after it (to
/// its column's end). Pages show it as it is; a text file fills it with as
/// many spaces of spaceWidth as fit.
struct TextGaps
{
    int before = 0;
    int after = 0;
    int spaceWidth = 1; // of the font the text is written in
};

/// Where the page printer sends what a document writes, in printer pixels:
/// page images recorded for the preview and the printer (PageRecorder), or
/// the plain-text file of print-to-file mode (TextFileOutput).
class DocumentOutput
{
public:
    virtual ~DocumentOutput() = default;

    /// Whether lines must fit on pages of a height; a text file has none, so
    /// nothing breaks there.
    virtual bool hasPageHeight() const = 0;
    /// A page starts: the first of a recording, or one after a page break.
    virtual void beginPage() = 0;
    /// The line written so far ends.
    virtual void endLine() = 0;
    virtual void text(QPointF origin, const QString &text, const QFont &font, const TextGaps &gaps) = 0;
    virtual void line(QPoint from, QPoint to, int penWidth) = 0;
    /// The document is complete.
    virtual void close() = 0;
};

/// Records each page as a page image appended to a page list.
class PageRecorder final : public DocumentOutput
{
public:
    explicit PageRecorder(TPageList &pages)
        : m_pages(pages)
    { }

    bool hasPageHeight() const override { return true; }
    void beginPage() override { m_pages.emplace_back(); }
    void endLine() override { } // a page image needs no line ends
    void text(QPointF origin, const QString &text, const QFont &font, const TextGaps &) override
    {
        if (!text.isEmpty()) // an empty cell leaves nothing to show
            m_pages.back().addText(origin, text, font);
    }
    void line(QPoint from, QPoint to, int penWidth) override { m_pages.back().addLine(from, to, penWidth); }
    void close() override { } // each page is complete as recorded

private:
    TPageList &m_pages;
};

/// Lays out pages and records only one of them: the number wanted, counted
/// from the page the layout is on when it starts (0 for none).
class PageSelection final : public DocumentOutput
{
public:
    /// onPageBegins hears of every page break.
    PageSelection(int current, int wanted, std::function<void()> onPageBegins = {})
        : m_current(current)
        , m_wanted(wanted)
        , m_onPageBegins(std::move(onPageBegins))
    { }

    bool hasPageHeight() const override { return true; }
    void beginPage() override
    {
        ++m_current;
        if (m_onPageBegins)
            m_onPageBegins();
    }
    void endLine() override { }
    void text(QPointF origin, const QString &text, const QFont &font, const TextGaps &) override
    {
        if (m_current == m_wanted && !text.isEmpty())
            m_page.addText(origin, text, font);
    }
    void line(QPoint from, QPoint to, int penWidth) override
    {
        if (m_current == m_wanted)
            m_page.addLine(from, to, penWidth);
    }
    void close() override { }

    /// The page wanted is complete: the next one has begun.
    bool done() const { return m_current > m_wanted; }
    PageImage takePage() { return std::move(m_page); }

private:
    int m_current;
    int m_wanted;
    std::function<void()> m_onPageBegins;
    PageImage m_page;
};
