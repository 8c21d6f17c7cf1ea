#include "preferencesdialog.h"

#include "awaytimepage.h"
#include "errors.h"
#include "messages.h"
#include "workinghourspage.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>

PreferencesDialog::PreferencesDialog(const QString &settingsPath, QWidget *parent)
    : QDialog(parent)
    , pageList(new QListWidget(this))
    , pages(new QStackedWidget(this))
    , m_settingsPath(settingsPath)
{
    setWindowTitle(QStringLiteral("Preferences"));
    setAttribute(Qt::WA_WindowPropagation); // the main window's font
    workingHoursPage = addPage<WorkingHoursPage>(QStringLiteral("Working hours"));
    awayTimePage = addPage<AwayTimePage>(QStringLiteral("Away time"));
    pageList->setCurrentRow(0);
    pageList->setAccessibleName(QStringLiteral("Topics"));
    pageList->setMaximumWidth(pageList->sizeHintForColumn(0) + 2 * pageList->frameWidth() + 8);
    connect(pageList, &QListWidget::currentRowChanged, pages, &QStackedWidget::setCurrentIndex);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnCancel = buttons->button(QDialogButtonBox::Cancel);
    auto *layout = new QGridLayout(this);
    layout->addWidget(pageList, 0, 0);
    layout->addWidget(pages, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    // OK is checked first; a value that does not read keeps the window open.
    connect(btnOK, &QPushButton::clicked, this, guarded([this] { btnOKClick(); }));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

template<typename Page> Page *PreferencesDialog::addPage(const QString &title)
{
    auto *page = new Page(m_settingsPath, pages);
    pages->addWidget(page);
    pageList->addItem(title);
    return page;
}

void PreferencesDialog::btnOKClick()
{
    for (int index = 0; index < pages->count(); ++index) {
        try {
            static_cast<const PreferencesPage *>(pages->widget(index))->check();
        } catch (const ConversionError &) {
            pageList->setCurrentRow(index); // where the user can mend it
            throw;
        }
    }
    for (int index = 0; index < pages->count(); ++index) {
        if (!static_cast<const PreferencesPage *>(pages->widget(index))->store(m_settingsPath))
            throw FileCreateError(m_settingsPath);
    }
    accept();
}
