// Starts like the program does and ends as soon as the first window has been
// painted: with a folder, Worktally's main window over the Hourbook.csv in it;
// with --empty, a bare window of the same size (the floor any Qt program pays);
// with --text, the same window showing one line of text (what loading fonts
// adds to that floor).

#include "mainwindow.h"

#include <cstdlib>
#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace {

// Ends the process once the window's first paint has been delivered; the
// queued exit runs after the children in the same pass have painted too.
// Tearing down is not part of starting, so the process leaves at once.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, [] { std::_Exit(0); });
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Worktally"));
    if (argc < 2)
        return 2;
    std::unique_ptr<QWidget> window;
    if (qstrcmp(argv[1], "--empty") == 0 || qstrcmp(argv[1], "--text") == 0) {
        window = std::make_unique<QWidget>();
        window->setFixedSize(670, 423);
        if (qstrcmp(argv[1], "--text") == 0)
            new QLabel(QStringLiteral("Worktally"), window.get());
    } else {
        window = std::make_unique<TForm1>(QString::fromLocal8Bit(argv[1]));
    }
    FirstPaint firstPaint;
    window->installEventFilter(&firstPaint);
    window->show();
    return app.exec();
}
