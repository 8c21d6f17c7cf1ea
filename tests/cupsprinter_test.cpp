// Printing on a real printer: a CUPS scheduler of the test's own, whose only
// queue is its default printer and writes each job as a PDF file (cups-pdf)
// into the test's folder.

#include "mainwindow.h"
#include "printpreview.h"
#include "printtestsupport.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <csignal>
#include <sys/prctl.h>

namespace {

struct CupsJob
{
    QString name;
    QString state;
    bool operator==(const CupsJob &) const = default;
};

void PrintTo(const CupsJob &job, std::ostream *out)
{
    *out << job.name.toStdString() << " (" << job.state.toStdString() << ')';
}

/// The scheduler and the administration programs, also where the search
/// path of a user who is not root leaves them out.
QString adminProgram(const QString &name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin")}) : found;
}

/// A cupsd with its settings, spool, state, logs and socket in a folder of
/// its own (no network port), and a cups-pdf queue made its default printer.
/// Every CUPS client of this process and its children talks to it. error()
/// says why the server could not be set up.
class CupsServer
{
public:
    CupsServer()
    {
        m_error = setUp();
        if (!m_error.isEmpty())
            m_error += QStringLiteral("\ncupsd's log:\n") + QString::fromLocal8Bit(readLog());
    }

    ~CupsServer()
    {
        m_cupsd.terminate();
        m_cupsd.waitForFinished(10000);
        if (!m_backendSettings.isEmpty())
            QFile::remove(m_backendSettings);
    }

    CupsServer(const CupsServer &) = delete;
    CupsServer &operator=(const CupsServer &) = delete;

    QString error() const { return m_error; }
    QString queue() const { return m_queue; }
    QString outputFolder() const { return path(QStringLiteral("out")); }

    /// The jobs the queue has finished, as CUPS records them.
    QList<CupsJob> finishedJobs() const
    {
        const QByteArray answer = programOutput(QStringLiteral("ipptool"),
            {QStringLiteral("-t"), printerUri(), path(QStringLiteral("finished-jobs.test"))});
        static const QRegularExpression attribute(
            QStringLiteral("^ *job-(name|state) \\([^)]*\\) = (.*)$"), QRegularExpression::MultilineOption);
        QList<CupsJob> jobs;
        for (const auto &m : attribute.globalMatch(QString::fromUtf8(answer))) {
            if (m.captured(1) == u"name")
                jobs.append({m.captured(2), QString()});
            else if (!jobs.isEmpty())
                jobs.last().state = m.captured(2);
        }
        return jobs;
    }

    /// What the scheduler logged, which tells why a job went wrong.
    QByteArray readLog() const
    {
        QFile log(path(QStringLiteral("log/error_log")));
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray("(none)");
    }

private:
    QString path(const QString &name) const { return m_folder.filePath(name); }

    QString printerUri() const
    {
        return QStringLiteral("ipp://%1/printers/%2")
            .arg(QString::fromLatin1(QUrl::toPercentEncoding(path(QStringLiteral("cups.sock")))), m_queue);
    }

    // Empty when the server runs with its queue; else why not.
    QString setUp()
    {
        if (!m_folder.isValid())
            return QStringLiteral("No temporary folder");
        // The filters run as CUPS's own user, which must reach the spool.
        QFile::setPermissions(m_folder.path(),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                | QFile::ReadOther | QFile::ExeOther);
        for (const char *folder : {"spool/tmp", "cache", "state", "log", "out", "pdfspool"})
            QDir(m_folder.path()).mkpath(QString::fromLatin1(folder));
        const QString socket = path(QStringLiteral("cups.sock"));
        writeFile(path(QStringLiteral("cups-files.conf")),
            QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/spool/tmp\nCacheDir %1/cache\n"
                           "StateDir %1/state\nErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                           "PageLog %1/log/page_log\nPrintcap %1/printcap\nSystemGroup root\n")
                .arg(m_folder.path())
                .toUtf8());
        // Reached only through the socket in the test's folder, for the
        // test's short life: nobody is asked to authenticate, so that lpadmin
        // may add the queue.
        writeFile(path(QStringLiteral("cupsd.conf")),
            QStringLiteral("Listen %1\nBrowsing No\nWebInterface No\nLogLevel info\nDefaultAuthType None\n"
                           "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n")
                .arg(socket)
                .toUtf8());

        qputenv("CUPS_SERVER", socket.toLocal8Bit());
        // Nothing overrides the server's default printer.
        qunsetenv("PRINTER");
        qunsetenv("LPDEST");
        // The server goes with this process, even when the test crashes.
        m_cupsd.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        m_cupsd.setProcessChannelMode(QProcess::ForwardedChannels);
        m_cupsd.start(adminProgram(QStringLiteral("cupsd")),
            {QStringLiteral("-f"), QStringLiteral("-c"), path(QStringLiteral("cupsd.conf")), QStringLiteral("-s"),
                path(QStringLiteral("cups-files.conf"))});
        if (!m_cupsd.waitForStarted())
            return QStringLiteral("cupsd cannot start: %1 (install cups-daemon)").arg(m_cupsd.errorString());
        const bool running
            = QTest::qWaitFor([this] { return m_cupsd.state() != QProcess::Running || schedulerAnswers(); }, 10000);
        if (!running || m_cupsd.state() != QProcess::Running)
            return QStringLiteral("cupsd did not start to listen on %1").arg(socket);

        // cups-pdf reads its settings only from CUPS's system folder, from a
        // file named for the queue; the machine's own settings stay as they are.
        m_queue = QStringLiteral("worktally-test-%1").arg(QCoreApplication::applicationPid());
        const QString backendSettings = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(m_queue);
        QFile settings(backendSettings);
        if (!settings.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return QStringLiteral("Cannot write %1 for the cups-pdf queue (%2; the test needs root, as cupsd "
                                  "runs cups-pdf as root)")
                .arg(backendSettings, settings.errorString());
        m_backendSettings = backendSettings;
        settings.write(QStringLiteral("Out %1/out\nAnonDirName %1/out\nSpool %1/pdfspool\nLog %1/log\nGrp root\n")
                           .arg(m_folder.path())
                           .toUtf8());
        settings.close();

        // The Cairo renderer keeps the printed text readable in the PDF file.
        const QString lpadmin = adminProgram(QStringLiteral("lpadmin"));
        QString failure = run(lpadmin,
            {QStringLiteral("-p"), m_queue, QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("cups-pdf:/") + m_queue, QStringLiteral("-m"),
                QStringLiteral("lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"), QStringLiteral("-o"),
                QStringLiteral("pdftops-renderer-default=pdftocairo")});
        if (failure.isEmpty())
            failure = run(lpadmin, {QStringLiteral("-d"), m_queue});
        if (!failure.isEmpty())
            return QStringLiteral("No cups-pdf queue (install printer-driver-cups-pdf): ") + failure;

        writeFile(path(QStringLiteral("finished-jobs.test")),
            "{\n OPERATION Get-Jobs\n GROUP operation-attributes-tag\n"
            " ATTR charset attributes-charset utf-8\n ATTR naturalLanguage attributes-natural-language en\n"
            " ATTR uri printer-uri $uri\n ATTR name requesting-user-name $user\n ATTR keyword which-jobs completed\n"
            " ATTR keyword requested-attributes job-name,job-state\n STATUS successful-ok\n"
            " DISPLAY job-name\n DISPLAY job-state\n}\n");
        return {};
    }

    static bool schedulerAnswers()
    {
        QProcess lpstat;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        lpstat.setProcessEnvironment(environment);
        lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-r")});
        lpstat.waitForFinished();
        return lpstat.readAllStandardOutput().trimmed() == "scheduler is running";
    }

    // Empty when the program succeeded; else what it said.
    static QString run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(20000))
            return program + QStringLiteral(": ") + process.errorString();
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return {};
        const QString said = QString::fromLocal8Bit(process.readAll()).trimmed();
        return program + QStringLiteral(": ") + (said.isEmpty() ? QStringLiteral("failed") : said);
    }

    QTemporaryDir m_folder;
    QProcess m_cupsd;
    QString m_queue;
    QString m_backendSettings;
    QString m_error;
};

/// Clicks "Print" in the print dialog once it shows, as the user accepts
/// the printer it offers.
class PrintDialogAccepter
{
public:
    PrintDialogAccepter()
    {
        QObject::connect(&m_watcher, &QTimer::timeout, [this] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QPrintDialog *>(window);
                if (!dialog || !dialog->isVisible())
                    continue;
                m_watcher.stop();
                QTest::mouseClick(
                    dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
                accepted = true;
            }
        });
        m_watcher.start(10);
    }

    bool accepted = false;

private:
    QTimer m_watcher;
};

QStringList pdfFilesIn(const QString &folder)
{
    QStringList files;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files))
        files << QDir(folder).filePath(name);
    return files;
}

} // namespace

TEST(CupsPrinter, WorkedExamplePrintsOnTheDefaultPrinterWithItsTitle)
{
    CupsServer cups;
    ASSERT_TRUE(cups.error().isEmpty()) << cups.error().toStdString();

    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("Hourbook.csv")), WorkedExampleFile);
    MessageRecorder messages;
    TForm1 form(folder.path());
    auto &preview = static_cast<TPrintPrv &>(form.PrintPreview());
    {
        PrintDialogAccepter dialog;
        QTest::mouseClick(form.btnUdskriv, Qt::LeftButton);
        ASSERT_TRUE(dialog.accepted);
    }
    ASSERT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.printer().outputFormat(), QPrinter::NativeFormat);
    EXPECT_EQ(preview.printer().printerName(), cups.queue());

    QTest::mouseClick(preview.btnPrint, Qt::LeftButton);
    QList<CupsJob> jobs;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(jobs = cups.finishedJobs()).isEmpty(); }, 30000))
        << "no print job finished; shown: " << messages.texts.join(u'\n').toStdString() << "\ncupsd's log:\n"
        << cups.readLog().toStdString();
    EXPECT_EQ(jobs, QList<CupsJob>({{"Printing from Worktally...", "completed"}}));
    // A printer's job tells of no file.
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join(u'\n').toStdString();

    const QStringList printed = pdfFilesIn(cups.outputFolder());
    ASSERT_EQ(printed.size(), 1) << printed.join(u' ').toStdString();
    const QString text = QString::fromUtf8(
        programOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), printed.first(), QStringLiteral("-")}));
    for (const char *expected : WorkedExamplePrintedTexts)
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << " not in:\n" << text.toStdString();
}
