#include "awaytimepage.h"

#include "awaysetting.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

/// Minutes from 0, which reads "Off". Stepping up from "Off" offers the
/// usual span at once, and a field left empty is off, as 0 is.
class AwayMinutesBox : public QSpinBox
{
public:
    explicit AwayMinutesBox(QWidget *parent)
        : QSpinBox(parent)
    {
        setRange(0, AwaySetting::MaximumMinutes);
        setSpecialValueText(QStringLiteral("Off"));
        setAccessibleName(QStringLiteral("Away time in minutes"));
    }

    void stepBy(int steps) override
    {
        if (value() == 0 && steps > 0)
            setValue(AwaySetting::OfferedMinutes);
        else
            QSpinBox::stepBy(steps);
    }

protected:
    QValidator::State validate(QString &text, int &pos) const override
    {
        return text.trimmed().isEmpty() ? QValidator::Acceptable : QSpinBox::validate(text, pos);
    }
    int valueFromText(const QString &text) const override
    {
        return text.trimmed().isEmpty() ? 0 : QSpinBox::valueFromText(text);
    }
};

} // namespace

AwayTimePage::AwayTimePage(const QString &settingsPath, QWidget *parent)
    : PreferencesPage(parent)
    , minutesBox(new AwayMinutesBox(this))
{
    minutesBox->setValue(AwaySetting::minutes(settingsPath));
    auto *label = new QLabel(QStringLiteral("&Ask after"), this);
    label->setBuddy(minutesBox);
    auto *field = new QHBoxLayout;
    field->addWidget(label);
    field->addWidget(minutesBox);
    field->addWidget(new QLabel(QStringLiteral("minutes away"), this));
    field->addStretch();
    auto *explanation = new QLabel(
        QStringLiteral("When you come back to the computer after this long while the stopwatch ran, "
                       "Worktally asks whether that time counts. Off never asks."),
        this);
    explanation->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(field);
    layout->addWidget(explanation);
    layout->addStretch();
}

bool AwayTimePage::store(const QString &settingsPath) const
{
    return AwaySetting::write(settingsPath, minutesBox->value());
}
