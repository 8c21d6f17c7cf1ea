#include "desktopopener.h"

#include <QProcess>
#include <QUrl>

void openWithDesktop(const QUrl &url, QObject *owner, std::function<void()> failed)
{
    auto *opener = new QProcess(owner);
    QObject::connect(opener, &QProcess::finished, opener, [opener, failed](int exitCode, QProcess::ExitStatus status) {
        opener->deleteLater();
        if (status != QProcess::NormalExit || exitCode != 0)
            failed();
    });
    // An opener that never started sends no finished().
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        opener->deleteLater();
        failed();
    });
    opener->start(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
}
