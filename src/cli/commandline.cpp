#include "commandline.h"

#include "clocksource.h"
#include "errors.h"
#include "filelocations.h"
#include "remotestopwatch.h"
#include "workinghours.h"
#include "worksheetreport.h"

#include <algorithm>
#include <optional>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

// The options Qt's applications take for themselves (QCoreApplication,
// QGuiApplication, QApplication and the X11 ones of old), with one dash or two.
// These take a value as the next argument or after '=' (which Qt reads for
// -style and -stylesheet, and otherwise leaves aside: QtArguments splits it).
const QStringView QtOptionsWithValue[] = {u"platform", u"platformpluginpath", u"platformtheme", u"plugin",
    u"qwindowgeometry", u"qwindowicon", u"qwindowtitle", u"icon", u"session", u"style", u"stylesheet", u"display",
    u"geometry", u"title", u"name", u"visual", u"ncols", u"cmap", u"graphicssystem"};
// These stand alone or take their value after '=' only.
const QStringView QtOptionsAlone[] = {u"reverse", u"widgetcount", u"qmljsdebugger", u"nograb", u"dograb", u"sync",
    u"testability", u"dialogs", u"fontengine"};

enum class QtOption {
    None,
    Whole, // an option that stands alone
    NameAndValue, // "-name=value" of an option that takes a value
    TakesNextArgument,
};

QtOption qtOption(QStringView argument)
{
    if (!argument.startsWith(u'-'))
        return QtOption::None;
    QStringView name = argument.mid(argument.startsWith(u"--") ? 2 : 1);
    const qsizetype equals = name.indexOf(u'=');
    if (equals >= 0)
        name.truncate(equals);
    if (std::ranges::find(QtOptionsWithValue, name) != std::end(QtOptionsWithValue))
        return equals >= 0 ? QtOption::NameAndValue : QtOption::TakesNextArgument;
    if (std::ranges::find(QtOptionsAlone, name) != std::end(QtOptionsAlone))
        return QtOption::Whole;
    return QtOption::None;
}

// The arguments without Qt's options and their values, which mean nothing
// to the command line.
QStringList withoutQtOptions(const QStringList &arguments)
{
    QStringList kept = arguments.mid(0, 1); // the program
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QtOption option = qtOption(arguments[i]);
        if (option == QtOption::TakesNextArgument)
            ++i; // its value, whatever it looks like, as Qt takes it
        else if (option == QtOption::None)
            kept << arguments[i];
    }
    return kept;
}

} // namespace

QtArguments::QtArguments(int argc, char *argv[])
{
    for (int i = 0; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        switch (i == 0 ? QtOption::None : qtOption(QString::fromLocal8Bit(argument))) {
        case QtOption::NameAndValue: {
            const qsizetype equals = argument.indexOf('=');
            m_arguments << argument.first(equals) << argument.sliced(equals + 1);
            break;
        }
        case QtOption::TakesNextArgument:
            m_arguments << argument;
            if (i + 1 < argc)
                m_arguments << QByteArray(argv[++i]); // its value, whatever it looks like
            break;
        default:
            m_arguments << argument;
        }
    }
    m_count = int(m_arguments.size());
    for (QByteArray &argument : m_arguments)
        m_values.push_back(argument.data());
    m_values.push_back(nullptr); // as the system ends argv
}

bool wantsCommandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // A lone "-" is no option: it has always opened the window.
    return std::ranges::any_of(withoutQtOptions(arguments).mid(1),
        [](const QString &argument) { return argument.size() > 1 && argument.startsWith(u'-'); });
}

int runCommandLine(int argc, char *argv[])
{
    // No display is needed: the command line runs in panels and scripts.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Worktally"));
    QCoreApplication::setApplicationVersion(QStringLiteral(WORKTALLY_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runCommandLine(
        QCoreApplication::arguments(), findDataFolder(QCoreApplication::applicationDirPath()), out, err);
}

int runCommandLine(const QStringList &arguments, const QString &dataFolder, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Worktally keeps the balance of the work you do from home. Without options it opens its "
                       "window; with these it prints the balance of its worksheet and leaves every file as it is, "
                       "or starts and stops the stopwatch of the window that runs."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption summary(QStringLiteral("summary"),
        QStringLiteral("The three totals as the status bar shows them, then today's and this week's home time, "
                       "target and difference."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("The summary as one JSON object."));
    const QCommandLineOption report(QStringLiteral("report"),
        QStringLiteral("Home time, nominal time and difference for each ISO week or calendar month."),
        QStringLiteral("week|month"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("The report as comma-separated values."));
    // The window turns its switch and writes the worksheet; these only ask it to.
    const QCommandLineOption start(
        QStringLiteral("start"), QStringLiteral("Starts the stopwatch of the running window, as its switch does."));
    const QCommandLineOption stop(
        QStringLiteral("stop"), QStringLiteral("Stops the stopwatch of the running window, as its switch does."));
    const QCommandLineOption toggle(QStringLiteral("toggle"),
        QStringLiteral("Starts the stopwatch of the running window when it is stopped, stops it when it runs."));
    parser.addOptions({summary, json, report, csv, start, stop, toggle});

    auto usageError = [&](const QString &message) {
        err << "worktally: " << message << "\nTry 'worktally --help' for more information.\n";
        return 2;
    };
    if (!parser.parse(withoutQtOptions(arguments)))
        return usageError(parser.errorText());
    // --help-all, which the parser adds, gives the same: the options Qt takes
    // for windows do not apply here.
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out << "Worktally " WORKTALLY_VERSION "\n";
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    const std::pair<const QCommandLineOption &, QString> stopwatchCalls[]
        = {{start, QStringLiteral("Start")}, {stop, QStringLiteral("Stop")}, {toggle, QStringLiteral("Toggle")}};
    const auto asked = std::ranges::find_if(stopwatchCalls, [&](const auto &call) { return parser.isSet(call.first); });
    if (asked != std::end(stopwatchCalls)) {
        if (parser.optionNames().size() > 1)
            return usageError(QStringLiteral("--start, --stop and --toggle go alone."));
        return callRunningStopwatch(asked->second, err);
    }
    std::optional<ReportPeriod> period;
    if (parser.isSet(report)) {
        if (parser.isSet(summary) || parser.isSet(json))
            return usageError(QStringLiteral("--report cannot go with --summary or --json."));
        const QString name = parser.value(report);
        if (name != u"week" && name != u"month")
            return usageError(QStringLiteral("--report takes week or month, not '%1'.").arg(name));
        period = name == u"week" ? ReportPeriod::Week : ReportPeriod::Month;
    } else if (parser.isSet(csv)) {
        return usageError(QStringLiteral("--csv goes with --report."));
    }

    try {
        if (period) {
            out << reportText(WorksheetDays(readWorksheet(dataFolder).cells), *period, parser.isSet(csv));
            return 0;
        }
        const WorksheetSummary balance = readSummary(
            dataFolder, ClockSource::currentDateTime().date(), WorkingHours::read(settingsFile(dataFolder)));
        out << (parser.isSet(json) ? summaryJson(balance) : summaryText(balance));
        return 0;
    } catch (const WorktallyError &e) {
        err << "worktally: " << e.message() << '\n';
        return 1;
    }
}
