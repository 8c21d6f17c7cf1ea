#pragma once

#include <optional>
#include <QString>

/// Separators for numbers shown to the user.
struct NumberSeparators
{
    QChar decimal = u'.';
    QChar thousands = u',';

    /// Those of the default locale (the machine's, unless the program set
    /// another).
    static NumberSeparators current();
};

/// A decimal number: optional blanks around it, an optional sign, digits with
/// the given decimal separator, an optional exponent.
std::optional<double> tryParseFloat(QStringView text, QChar decimalSeparator);

/// value with a literal prefix, at least one integer digit, optional
/// thousands grouping and a fixed number of decimals (rounded half away from
/// zero). A negative value gets a leading "-", or with negativeParenthesis is
/// wrapped in parentheses: -1234.5 gives ($1,234.50).
QString formatNumber(double value, const QString &prefix, bool thousands, int decimals, bool negativeParenthesis,
    const NumberSeparators &separators);

/// value as one digit, the decimals, "E", a sign and at least two exponent
/// digits: 1234.5 with 2 decimals gives 1.23E+03.
QString formatScientific(double value, int decimals, const NumberSeparators &separators);
