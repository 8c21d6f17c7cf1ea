#include "textfit.h"

namespace {

// Blanks and control characters are where a line may break.
bool isBreak(QChar c)
{
    return c.unicode() < 33;
}

} // namespace

QString expandTabs(const QString &text, int tabSize)
{
    if (!text.contains(u'\t'))
        return text;
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c != u'\t')
            out.append(c);
        else if (tabSize < 1)
            out.append(u' ');
        else
            out.append(QString(tabSize - out.size() % tabSize, u' '));
    }
    return out;
}

qsizetype fitText(const QString &text, int width, const TextWidth &widthOf)
{
    if (text.isEmpty() || widthOf(text, text.size()) <= width)
        return text.size();
    // Invariant: lo characters fit (or lo is the one character always
    // given), hi characters do not.
    qsizetype lo = 1;
    qsizetype hi = text.size();
    while (hi - lo > 1) {
        const qsizetype mid = (lo + hi) / 2;
        if (widthOf(text, mid) <= width)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

LineSplit splitLine(const QString &text, int width, BlanksAtCut blanks, const TextWidth &widthOf)
{
    qsizetype taken = fitText(text, width, widthOf);
    qsizetype restStart = taken;
    if (taken < text.size()) {
        if (isBreak(text[taken])) {
            if (blanks == BlanksAtCut::DropOne)
                ++restStart;
            else if (blanks == BlanksAtCut::DropSpaces)
                while (restStart < text.size() && text[restStart] == u' ')
                    ++restStart;
        } else {
            qsizetype lastBreak = taken - 1;
            while (lastBreak >= 0 && !isBreak(text[lastBreak]))
                --lastBreak;
            if (lastBreak >= 0)
                taken = restStart = lastBreak + 1;
        }
    }
    return {text.left(taken), text.mid(restStart)};
}
