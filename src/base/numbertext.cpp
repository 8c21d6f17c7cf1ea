#include "numbertext.h"

#include <algorithm>
#include <cmath>
#include <QLocale>

NumberSeparators NumberSeparators::current()
{
    const QLocale locale;
    NumberSeparators s;
    s.decimal = locale.decimalPoint().at(0);
    s.thousands = locale.groupSeparator().isEmpty() ? QChar(u' ') : locale.groupSeparator().at(0);
    return s;
}

std::optional<double> tryParseFloat(QStringView text, QChar decimalSeparator)
{
    QString plain = text.trimmed().toString();
    if (plain.isEmpty())
        return std::nullopt;
    if (decimalSeparator != u'.') {
        if (plain.contains(u'.'))
            return std::nullopt;
        plain.replace(decimalSeparator, u'.');
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {

// The digits of |value| rounded to `decimals` places, as integer and
// fraction digit strings.
std::pair<QString, QString> roundedDigits(double magnitude, int decimals)
{
    decimals = std::clamp(decimals, 0, 15);
    // Half away from zero; the decimal text of the double decides, so 2.675
    // rounds as it reads.
    const QString fixed = QString::number(magnitude, 'f', std::min(decimals + 3, 17));
    const qsizetype point = fixed.indexOf(u'.');
    QString integer = point < 0 ? fixed : fixed.left(point);
    QString fraction = point < 0 ? QString() : fixed.mid(point + 1);
    fraction = fraction.leftJustified(decimals + 1, u'0');
    const bool roundUp = fraction.at(decimals) >= u'5';
    QString digits = integer + fraction.left(decimals);
    if (roundUp) {
        qsizetype i = digits.size() - 1;
        for (; i >= 0; --i) {
            if (digits[i] == u'9') {
                digits[i] = u'0';
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend(u'1');
    }
    return {digits.left(digits.size() - decimals), digits.right(decimals)};
}

} // namespace

QString formatNumber(double value, const QString &prefix, bool thousands, int decimals, bool negativeParenthesis,
    const NumberSeparators &separators)
{
    auto [integer, fraction] = roundedDigits(std::fabs(value), decimals);
    while (integer.size() > 1 && integer.front() == u'0')
        integer.remove(0, 1);
    const bool zero
        = integer == u"0" && std::all_of(fraction.begin(), fraction.end(), [](QChar c) { return c == u'0'; });
    if (thousands)
        for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
            integer.insert(i, separators.thousands);
    QString text = prefix + integer;
    if (decimals > 0)
        text += separators.decimal + fraction;
    if (value >= 0 || zero)
        return text;
    return negativeParenthesis ? u'(' + text + u')' : u'-' + text;
}

QString formatScientific(double value, int decimals, const NumberSeparators &separators)
{
    decimals = std::clamp(decimals, 0, 15);
    QString text = QString::number(value, 'E', decimals); // d.ddE+xx
    text.replace(u'.', separators.decimal);
    return text;
}
