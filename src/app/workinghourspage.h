#pragma once

#include "preferencespage.h"

#include <array>

class MaskedEdit;
class WorkingHours;

/// The working time owed on each weekday: one "hh:mm" edit per day, Monday
/// first, left empty for a day that owes nothing.
class WorkingHoursPage : public PreferencesPage
{
    Q_OBJECT

public:
    /// Shows the days stored in the settings file at settingsPath.
    explicit WorkingHoursPage(const QString &settingsPath, QWidget *parent = nullptr);

    void check() const override;
    bool store(const QString &settingsPath) const override;

    /// The edits of Monday … Sunday.
    std::array<MaskedEdit *, 7> dayEdits;

private:
    WorkingHours typedHours() const;
};
