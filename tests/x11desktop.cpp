#include "x11desktop.h"

#include <gtest/gtest.h>
#include <QWidget>

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

Helper::Helper(const QString &program, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        environment.insert(QString::fromLatin1(name), home.path());
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForStarted(5000)) << program.toStdString();
}

Helper::~Helper()
{
    process.kill();
    process.waitForFinished(5000);
}

QString windowProperty(const QWidget &window, const QString &name)
{
    return run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window.winId()), name});
}

bool taskbarListsWindow(const QWidget &window)
{
    // xprop prints window ids in hexadecimal, each followed by a comma or the end.
    const QString clients
        = run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")}) + QStringLiteral(",");
    const QString id = QStringLiteral("0x%1,").arg(window.winId(), 0, 16);
    return clients.contains(id)
        && !windowProperty(window, QStringLiteral("_NET_WM_STATE")).contains(QStringLiteral("SKIP_TASKBAR"));
}
