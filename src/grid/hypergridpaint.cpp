// How THyperGrid paints its cells, heading bands, borders, bevels and
// pictures, and how it formats the texts it shows.

#include "hypergrid.h"

#include "datetimetext.h"
#include "frame3d.h"
#include "messages.h"
#include "numbertext.h"

#include <QPainter>

namespace {

Qt::Alignment horizontalFlag(HorizontalAlignment alignment)
{
    switch (alignment) {
    case taRightJustify:
        return Qt::AlignRight;
    case taCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

ThgCellStates cellStates(CellDrawState drawState)
{
    ThgCellStates state;
    if (drawState & SelectedCell)
        state |= hgcsSelected;
    if (drawState & FocusedCell)
        state |= hgcsFocused;
    if (drawState & FixedCell)
        state |= hgcsFixed;
    return state;
}

Qt::PenStyle penStyle(ThgBorderStyle style)
{
    switch (style) {
    case hgbrdDash:
        return Qt::DashLine;
    case hgbrdDot:
        return Qt::DotLine;
    case hgbrdDashDot:
        return Qt::DashDotLine;
    case hgbrdDashDotDot:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

// One row of the date format table, chosen by the order of day, month and
// year in the machine's short date format.
const char *const DateFormats[3][11] = {
    {"m/d", "m/d/yy", "mm/dd/yy", "d-mmm", "d-mmm-yy", "dd-mmm-yy", "mmm-yy", "mmmm-yy", "mmmm d, yyyy",
        "ddd mmmm d, yyyy", "dddd mmmm d, yyyy"},
    {"d/m", "d/m/yy", "dd/mm/yy", "d-mmm", "d-mmm-yy", "dd-mmm-yy", "mmm-yy", "mmmm-yy", "mmmm d, yyyy",
        "ddd mmmm d, yyyy", "dddd mmmm d, yyyy"},
    {"m/d", "yy/m/d", "yy/mm/dd", "d-mmm", "d-mmm-yy", "dd-mmm-yy", "mmm-yy", "mmmm-yy", "mmmm d, yyyy",
        "ddd mmmm d, yyyy", "dddd mmmm d, yyyy"},
};
const char *const TimeFormats[4] = {"h:nn", "h:nn ampm", "h:nn:ss", "h:nn:ss ampm"};

int dateFormatRow(const QString &shortDateFormat)
{
    for (QChar c : shortDateFormat) {
        switch (c.toUpper().unicode()) {
        case 'D':
            return 1;
        case 'Y':
            return 2;
        case 'M':
            return 0;
        }
    }
    return 0;
}

// A title held down by the mouse shows lowered, its contents 2 pixels
// right and down.
void drawTitleBevels(QPainter &painter, QRect &r, BevelStyle outer, BevelStyle inner, bool pressed)
{
    if (!pressed) {
        THyperGrid::DrawBevels(painter, r, outer, inner);
        return;
    }
    THyperGrid::DrawBevels(painter, r, bvLowered, bvNone);
    r.adjust(2, 2, 0, 0);
}

} // namespace

// --- Formatting -----------------------------------------------------------------

namespace {

// The text as its column shows it; none when it does not read as the
// number or date the column formats.
std::optional<QString> formatted(const ThgColumn &column, const QString &text)
{
    switch (column.FormatType()) {
    case hgfmtNone:
        return text;
    case hgfmtNumeric:
    case hgfmtScientific: {
        const NumberSeparators separators = NumberSeparators::current();
        const auto value = tryParseFloat(text, separators.decimal);
        if (!value)
            return std::nullopt;
        if (column.FormatType() == hgfmtScientific)
            return formatScientific(*value, column.Decimals(), separators);
        return formatNumber(*value, column.Prefix(), column.ThousandsSeparator(), column.Decimals(),
            column.NegativeParenthesis(), separators);
    }
    case hgfmtDateTime: {
        const int date = column.DateFormat();
        const int time = column.TimeFormat();
        const bool withDate = date >= 0 && date < 11;
        const bool withTime = time >= 0 && time < 4;
        if (!withDate && !withTime)
            return text;
        const FormatSettings settings = FormatSettings::current();
        QString format;
        if (withDate)
            format = QString::fromLatin1(DateFormats[dateFormatRow(settings.shortDateFormat)][date]);
        if (withTime)
            format += (withDate ? QStringLiteral(" ") : QString()) + QString::fromLatin1(TimeFormats[time]);
        const auto value = withDate && withTime ? tryParseDateTime(text, currentCentury())
            : withTime                          ? tryParseTime(text)
                                                : tryParseDate(text, currentCentury());
        if (!value)
            return std::nullopt;
        return formatDateTime(format, *value, settings);
    }
    }
    return text;
}

} // namespace

QString THyperGrid::GetDisplayText(int col, int row)
{
    QString S = PrepareDisplayText(Cells(col, row));
    ThgColumn *column = ColumnAt(col);
    bool convert = true;
    if (OnDisplayText)
        OnDisplayText(this, col, row, column, S, convert);
    if (S.isEmpty() || !convert)
        return S;
    if (std::optional<QString> shown = formatted(*column, S))
        return *shown;
    if (OnConversionError)
        OnConversionError(this, col, row, column, S);
    return S;
}

// --- Attributes ---------------------------------------------------------------------

THyperGrid::CellAttributes THyperGrid::GetCellAttributes(int col, int row, ThgHeading *object, CellDrawState drawState)
{
    CellAttributes a;
    a.info.State = cellStates(drawState);
    auto *column = dynamic_cast<ThgColumn *>(object);
    if (!column)
        a.info.State |= hgcsHeading;
    a.info.Text = Cells(col, row);
    a.info.Col = col;
    a.info.Row = row;
    a.info.Grid = this;

    if (drawState & FixedCell) {
        if (row == 0 && !object->Caption().isEmpty())
            a.info.Text = object->Caption();
        a.info.HAlign = object->TitleHAlignment();
        a.info.VAlign = object->TitleVAlignment();
        a.info.ClipStyle = object->TitleClipStyle();
        a.color = object->TitleColor();
        m_workFont = object->TitleParentFont() ? font() : object->TitleFont();
        a.outerBevel = object->TitleOuterBevel();
        a.innerBevel = object->TitleInnerBevel();
    } else {
        a.info.HAlign = column->ColumnHAlignment();
        a.info.VAlign = column->ColumnVAlignment();
        a.info.ClipStyle = column->ColumnClipStyle();
        a.outerBevel = column->ColumnOuterBevel();
        a.innerBevel = column->ColumnInnerBevel();
        m_workFont = column->ColumnParentFont() ? font() : column->ColumnFont();
        a.color = column->ColumnColor();
    }
    // A column may take any colour the user picks, black included.
    a.fontColor = readableTextColor(a.color);

    const bool highlighted = ((drawState & FocusedCell) && (Options() & goDrawFocusSelected))
        || ((drawState & SelectedCell) && !(drawState & FocusedCell));
    if (highlighted && (m_hyperOptions & hgoptHighlightSelection)) {
        a.color = m_highlightColor;
        a.fontColor = m_highlightFontColor;
    }
    if (OnChangeCellAttributes)
        OnChangeCellAttributes(this, col, row, object, a.info.State, a.color, m_workFont, a.fontColor, a.info.HAlign,
            a.info.VAlign, a.outerBevel, a.innerBevel);
    return a;
}

// --- Cells -------------------------------------------------------------------------------

void THyperGrid::DrawCell(QPainter &painter, int col, int row, const QRect &rect, CellDrawState state)
{
    if (col >= VisibleColumnCount())
        return;
    QRect r = rect;
    ThgColumn *column = ColumnAt(col);
    if ((state & FixedCell) && row == 0 && column->HeadingIndex() >= 0) {
        DrawHeadingCell(painter, col, row, rect, m_headings.Items(column->HeadingIndex()));
        r.setTop(r.top() + RowHeights(0) / 2 - 1);
    }

    CellAttributes a = GetCellAttributes(col, row, column, state);
    m_workBorders[0] = column->TopBorder();
    m_workBorders[1] = column->LeftBorder();
    m_workBorders[2] = column->BottomBorder();
    m_workBorders[3] = column->RightBorder();
    if (OnChangeCellBorders)
        OnChangeCellBorders(this, col, row, column, a.info.State, m_workBorders[0], m_workBorders[3], m_workBorders[2],
            m_workBorders[1]);
    DrawCellBorders(painter, r, m_workBorders[0], m_workBorders[1], m_workBorders[2], m_workBorders[3]);

    const QRect focusRect = r;
    painter.fillRect(r, toQColor(a.color));
    QRect textRect = r;
    drawTitleBevels(painter, textRect, a.outerBevel, a.innerBevel, isPressedCell(col, row));
    DrawCellImage(col, row, &painter, true, textRect, -1);
    if (!(state & FixedCell))
        a.info.Text = GetDisplayText(col, row);

    a.info.Canvas = &painter;
    a.info.Rect = textRect;
    painter.setFont(m_workFont);
    painter.setPen(toQColor(a.fontColor));
    DrawCellText(a.info);

    if ((state & FocusedCell) && (m_hyperOptions & hgoptDrawFocusRectangle)) {
        // A dotted frame in the colour that stands out from the background.
        QPen dots(isDark(toQColor(a.color)) ? Qt::white : Qt::black, 1);
        dots.setDashPattern({1, 1});
        painter.setPen(dots);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(focusRect.adjusted(0, 0, -1, -1));
    }
    if (OnDrawCell)
        OnDrawCell(this, col, row, rect, state);
}

void THyperGrid::DrawHeadingCell(QPainter &painter, int col, int row, const QRect &cellRect, ThgHeading *heading)
{
    const int index = ColumnAt(col)->HeadingIndex();
    const int lineW = (Options() & (goFixedVertLine | goVertLine)) ? GridLineWidth() : 0;
    int first = col;
    while (first > 0 && ColumnAt(first - 1)->HeadingIndex() == index)
        --first;
    int last = col;
    while (last < ColCount() - 1 && ColumnAt(last + 1)->HeadingIndex() == index)
        ++last;
    int spanWidth = (last - first) * lineW + 1;
    for (int c = first; c <= last; ++c)
        spanWidth += ColWidths(c);
    int offset = (col - first) * lineW;
    for (int c = first; c < col; ++c)
        offset += ColWidths(c);
    const int halfHeight = RowHeights(row) / 2;

    CellAttributes a = GetCellAttributes(col, row, heading, FixedCell);
    if (m_headingBitmap.size() != QSize(spanWidth, halfHeight))
        m_headingBitmap = QPixmap(spanWidth, halfHeight);
    QPainter band(&m_headingBitmap);
    band.setFont(m_workFont);
    // The band is one pixel narrower and lower than the bitmap: the last
    // column and row of it are never copied.
    QRect area(0, 0, spanWidth - 1, halfHeight - 1);
    band.fillRect(area, toQColor(a.color));
    if (Options() & goFixedHorzLine) {
        const int thickness = GridLineWidth();
        band.fillRect(area.left(), area.bottom() - thickness + 1, area.width(), thickness, toQColor(BlackColor));
        area.setBottom(area.bottom() - thickness);
    }
    m_workBorders[0] = heading->TopBorder();
    m_workBorders[1] = heading->LeftBorder();
    m_workBorders[2] = heading->BottomBorder();
    m_workBorders[3] = heading->RightBorder();
    if (OnChangeCellBorders)
        OnChangeCellBorders(
            this, -1, -1, heading, hgcsHeading, m_workBorders[0], m_workBorders[3], m_workBorders[2], m_workBorders[1]);
    DrawCellBorders(band, area, m_workBorders[0], m_workBorders[1], m_workBorders[2], m_workBorders[3]);
    drawTitleBevels(band, area, a.outerBevel, a.innerBevel, isPressedHeading(index, first, last));
    DrawCellImage(col, row, &band, true, area, heading->Index());
    a.info.Canvas = &band;
    a.info.Rect = area;
    a.info.Text = heading->Caption();
    band.setPen(toQColor(a.fontColor));
    DrawCellText(a.info);
    band.end();

    // Each cell copies its own slice, widened over the grid lines inside the
    // span so that the band reads as one merged cell.
    QRect source(offset, 0, cellRect.width(), halfHeight - 1);
    QRect target(cellRect.left(), cellRect.top(), cellRect.width(), halfHeight - 1);
    if (first < col && col > LeftCol()) {
        source.setLeft(source.left() - lineW);
        target.setLeft(target.left() - lineW);
    }
    if (col < last && col < LeftCol() + VisibleColCount() && col < ColCount()) {
        source.setRight(source.right() + lineW);
        target.setRight(target.right() + lineW);
    }
    painter.drawPixmap(target, m_headingBitmap, source);
}

// --- Drawing primitives ------------------------------------------------------------------

int THyperGrid::DrawBorderLine(QPainter &painter, const ThgBorder &border, QPoint from, QPoint to, QPoint inward)
{
    if (border.Style == hgbrdNone)
        return 0;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPen pen(toQColor(border.Color), 0, penStyle(border.Style));
    painter.setPen(pen);
    // Lines leave out their end point.
    const QPoint step((to.x() > from.x()) - (to.x() < from.x()), (to.y() > from.y()) - (to.y() < from.y()));
    const QPoint end = to - step;
    auto line = [&](int shift) { painter.drawLine(from + inward * shift, end + inward * shift); };
    int thickness = 0;
    if (border.Style == hgbrdDouble) {
        line(0);
        line(border.Width + 1);
        thickness = border.Width + 2;
    } else {
        for (int i = 0; i < border.Width; ++i)
            line(i);
        thickness = border.Width;
    }
    painter.restore();
    return thickness;
}

void THyperGrid::DrawCellBorders(QPainter &painter, QRect &r, const ThgBorder &top, const ThgBorder &left,
    const ThgBorder &bottom, const ThgBorder &right)
{
    // The edges as they were on entry; right and bottom are the first
    // pixels outside the rectangle.
    const int L = r.left();
    const int T = r.top();
    const int R = r.right() + 1;
    const int B = r.bottom() + 1;
    r.setTop(r.top() + DrawBorderLine(painter, top, {L, T}, {R, T}, {0, 1}));
    r.setRight(r.right() - DrawBorderLine(painter, right, {R - 1, T}, {R - 1, B}, {-1, 0}));
    r.setBottom(r.bottom() - DrawBorderLine(painter, bottom, {R - 1, B - 1}, {L - 1, B - 1}, {0, -1}));
    r.setLeft(r.left() + DrawBorderLine(painter, left, {L, B - 1}, {L, T - 1}, {1, 0}));
}

void THyperGrid::DrawBevels(QPainter &painter, QRect &r, BevelStyle outer, BevelStyle inner)
{
    auto frame = [&](BevelStyle cut) {
        const QColor light = toQColor(clBtnHighlight);
        const QColor dark = toQColor(clBtnShadow);
        const QColor topLeft = cut == bvRaised ? light : dark;
        const QColor bottomRight = cut == bvRaised ? dark : light;
        drawFrame3D(painter, r, topLeft, bottomRight);
    };
    if (outer != bvNone)
        frame(outer);
    if (inner != bvNone) {
        const QColor gap = toQColor(clBtnFace);
        painter.setPen(gap);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
        frame(inner);
    }
}

void THyperGrid::DrawCellImage(int col, int row, QPainter *painter, bool paint, QRect &r, int headingIndex)
{
    if (!OnGetCellImage)
        return;
    CellImage image;
    OnGetCellImage(this, col, row, headingIndex, image);
    QPixmap picture;
    if (const QPixmap *p = std::get_if<QPixmap>(&image.PictureOrImageList))
        picture = *p;
    else if (const auto *list = std::get_if<QList<QPixmap>>(&image.PictureOrImageList))
        picture = list->value(image.ImageIndex);
    else
        return;
    if (picture.isNull())
        return;
    const int w = picture.width();
    const int h = picture.height();
    const int m = image.Margin;
    QRect area = r;
    switch (image.Position) {
    case hgipLeft:
        area.setWidth(w + 2 * m);
        r.setLeft(r.left() + w + 2 * m);
        break;
    case hgipRight:
        r.setRight(r.right() - w - 2 * m);
        area.setLeft(r.right() + 1);
        break;
    case hgipTop:
        area.setHeight(h + 2 * m);
        r.setTop(r.top() + h + 2 * m);
        break;
    case hgipBottom:
        r.setBottom(r.bottom() - h - 2 * m);
        area.setTop(r.bottom() + 1);
        break;
    }
    if (!paint || !painter)
        return;
    QPoint at;
    if (image.Position == hgipLeft || image.Position == hgipRight) {
        at.setX(area.left() + m);
        at.setY(image.VAlign == hgvaTop      ? area.top() + m
                : image.VAlign == hgvaCenter ? area.top() + (area.height() - h) / 2
                                             : area.bottom() - h - m);
    } else {
        at.setY(area.top() + m);
        at.setX(image.HAlign == taLeftJustify    ? area.left() + m
                : image.HAlign == taRightJustify ? area.right() - w - m
                                                 : area.left() + (area.width() - w) / 2);
    }
    painter->drawPixmap(at, picture);
}

void THyperGrid::DrawCellText(const THgDrawInfo &info)
{
    if (info.Text.isEmpty())
        return;
    QRect r = info.Rect.adjusted(info.HMargin, info.VMargin, -info.HMargin, -info.VMargin);
    if (info.State & hgcsFixed)
        r.setTop(r.top() - 2 * info.VMargin);

    int flags = Qt::TextExpandTabs | horizontalFlag(info.HAlign);
    if (info.ClipStyle == hgclpWrap)
        flags |= Qt::TextWordWrap;
    const QFontMetrics metrics(info.Canvas->font());
    // One line needs no layout to be measured: its height is the font's.
    const bool oneLine = info.ClipStyle != hgclpWrap && !info.Text.contains(u'\n');
    int h = metrics.height();
    int w = 0;
    if (oneLine) {
        w = metrics.horizontalAdvance(info.Text);
    } else {
        const QRect needed = metrics.boundingRect(
            QRect(r.left(), r.top(), std::max(r.width(), 1), r.height()), flags | Qt::AlignTop, info.Text);
        h = needed.height();
        w = needed.width();
    }
    // Heights and widths here count both edges, one more than the pixels.
    const int height = r.height() + 1;
    if (h > height && info.Grid && info.Grid->HyperAdjustRowHeight())
        info.Grid->postSize(info.Grid->m_postedRowHeights, info.Row, h + 2 * info.VMargin);
    if (w > r.width() + 1 && info.Grid && info.Grid->HyperAdjustColWidth())
        info.Grid->postSize(info.Grid->m_postedColWidths, info.Col, w + 2 * info.HMargin);

    if (h < height) {
        if (info.VAlign == hgvaCenter)
            r.setTop(r.top() + (height - h) / 2);
        else if (info.VAlign == hgvaBottom)
            r.setTop(r.bottom() + 1 - h);
    }
    const QString text = info.ClipStyle == hgclpEllipsis && oneLine && w > r.width()
        ? metrics.elidedText(info.Text, Qt::ElideRight, r.width())
        : info.Text;
    info.Canvas->drawText(r, flags | Qt::AlignTop, text);
}

// --- Growth after painting ------------------------------------------------------------

void THyperGrid::postSize(std::map<int, int> &posted, int index, int size)
{
    int &wanted = posted[index];
    wanted = std::max(wanted, size);
    if (!m_sizesPosted) {
        m_sizesPosted = true;
        QMetaObject::invokeMethod(
            this, [this] { runGuarded([this] { applyPostedSizes(); }); }, Qt::QueuedConnection);
    }
}

// Rows and columns only grow this way; the user's own sizing, when allowed,
// is left alone.
void THyperGrid::applyPostedSizes()
{
    m_sizesPosted = false;
    if (!(Options() & goRowSizing))
        for (const auto &[row, height] : m_postedRowHeights)
            if (row < RowCount() && height > RowHeights(row))
                setRowHeights(row, height);
    if (!(Options() & goColSizing))
        for (const auto &[col, width] : m_postedColWidths)
            if (col < ColCount() && width > ColWidths(col))
                setColWidths(col, width);
    m_postedRowHeights.clear();
    m_postedColWidths.clear();
}
