#pragma once

#include "preferencespage.h"

class QSpinBox;

/// How long the person may be away from the computer while the stopwatch
/// runs before the program asks whether that time counts: whole minutes, or
/// "Off" (0 or an empty field).
class AwayTimePage : public PreferencesPage
{
    Q_OBJECT

public:
    /// Shows the minutes stored in the settings file at settingsPath.
    explicit AwayTimePage(const QString &settingsPath, QWidget *parent = nullptr);

    void check() const override { } // the field takes nothing but whole minutes
    bool store(const QString &settingsPath) const override;

    QSpinBox *minutesBox;
};
