#pragma once

#include <QWidget>

/// One topic of the preferences window. "OK" checks every page before any
/// of them stores what the user set, so that a value that does not read
/// leaves the settings file as it was.
class PreferencesPage : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    /// Raises ConversionError naming what the user typed that does not read.
    virtual void check() const = 0;
    /// Stores the page's values in the settings file at settingsPath; false
    /// when the file could not be written.
    virtual bool store(const QString &settingsPath) const = 0;
};
