#include "printprogressdialog.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace {

// Lengths are given for a 96 dpi screen.
constexpr int DesignDpi = 96;

QLabel *centredLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TPPPrnPrgDlg::TPPPrnPrgDlg(bool cancellable, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , Bevel(new QFrame(this))
    , lblStatus(centredLabel(this, "lblStatus"))
    , lblPageNumber(centredLabel(this, "lblPageNumber"))
    , ProgBar(new QProgressBar(this))
    , btnCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    QFont dialogFont(QStringLiteral("MS Sans Serif"), 8);
    dialogFont.setStyleHint(QFont::SansSerif);
    setFont(dialogFont);
    setWindowTitle(QStringLiteral("Print Progress"));
    const int dpi = logicalDpiY();
    const auto scaled = [dpi](int x, int y, int width, int height) {
        return QRect(x * dpi / DesignDpi, y * dpi / DesignDpi, width * dpi / DesignDpi, height * dpi / DesignDpi);
    };
    Bevel->setObjectName(QStringLiteral("Bevel"));
    Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel->setGeometry(scaled(8, 8, 277, 57));
    lblStatus->setGeometry(scaled(20, 20, 249, 13));
    lblPageNumber->setGeometry(scaled(20, 40, 253, 13));
    ProgBar->setObjectName(QStringLiteral("ProgBar"));
    ProgBar->setGeometry(scaled(8, 76, 277, 13));
    ProgBar->setTextVisible(false);
    ProgBar->setRange(0, 10);
    ProgBar->setValue(0);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(scaled(109, 100, 75, 25));
    btnCancel->setDefault(true);
    // Without the button the dialog ends a little below the bar.
    QSize client = scaled(0, 0, 293, 133).size();
    if (!cancellable) {
        btnCancel->setEnabled(false);
        btnCancel->hide();
        client.setHeight(98 * dpi / DesignDpi);
    }
    setFixedSize(client);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TPPPrnPrgDlg::ShowPage(const QString &message, int page, const PrintRange &range)
{
    show();
    lblStatus->setText(message.isEmpty() ? QStringLiteral("Sending Pages To Printer") : message);
    ProgBar->setMaximum(range.copies * range.pageCount());
    ProgBar->setValue(ProgBar->value() + 1);
    QString pageText = QStringLiteral("Page %1").arg(page);
    if (range.first == 1) {
        pageText += QStringLiteral(" of %1").arg(range.pageCount());
        if (range.copies > 1)
            pageText += QStringLiteral(" x %1 Copies").arg(range.copies);
    }
    lblPageNumber->setText(pageText);
    if (isVisible())
        repaint();
}

void TPPPrnPrgDlg::reject()
{
    btnCancel->click(); // a disabled button ignores it
}
