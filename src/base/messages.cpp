#include "messages.h"

#include "errors.h"

#include <cstdio>
#include <utility>

namespace {
MessagePresenter &presenter()
{
    // Until the program installs its message boxes, messages go to stderr.
    static MessagePresenter p
        = [](MessageKind, const QString &text, QWidget *) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
    return p;
}
QuestionPresenter &questionPresenter()
{
    static QuestionPresenter p = [](const QString &, const QStringList &, int safeChoice) { return safeChoice; };
    return p;
}
} // namespace

MessagePresenter setMessagePresenter(MessagePresenter p)
{
    return std::exchange(presenter(), std::move(p));
}

void showMessage(const QString &text, MessageKind kind, QWidget *window)
{
    presenter()(kind, text, window);
}

QuestionPresenter setQuestionPresenter(QuestionPresenter p)
{
    return std::exchange(questionPresenter(), std::move(p));
}

int askQuestion(const QString &text, const QStringList &buttons, int safeChoice)
{
    return questionPresenter()(text, buttons, safeChoice);
}

bool runGuarded(const std::function<void()> &handler) noexcept
{
    try {
        handler();
        return true;
    } catch (const WorktallyError &e) {
        showMessage(e.message(), MessageKind::Error);
    } catch (const std::exception &e) {
        showMessage(QString::fromLocal8Bit(e.what()), MessageKind::Error);
    } catch (...) {
        showMessage(QStringLiteral("Unexpected error"), MessageKind::Error);
    }
    return false;
}
