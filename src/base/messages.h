#pragma once

#include <functional>
#include <QString>
#include <QStringList>

class QWidget;

enum class MessageKind { Plain, Information, Warning, Error };

/// Shows a modal message box with an OK button and the application title,
/// above window (the window the message is about), or above the active window
/// when window is null. The program installs the real boxes at start-up;
/// tests install a recorder.
using MessagePresenter = std::function<void(MessageKind kind, const QString &text, QWidget *window)>;

/// Installs presenter and returns the one it replaces.
MessagePresenter setMessagePresenter(MessagePresenter presenter);
void showMessage(const QString &text, MessageKind kind = MessageKind::Plain, QWidget *window = nullptr);

/// Asks a question in a modal box with one button per answer and gives the
/// index of the button chosen. Escape or closing the box chooses safeChoice,
/// the answer that loses nothing. Installed like the message boxes; until
/// then every question gets its safe answer.
using QuestionPresenter = std::function<int(const QString &text, const QStringList &buttons, int safeChoice)>;

/// Installs presenter and returns the one it replaces.
QuestionPresenter setQuestionPresenter(QuestionPresenter presenter);
int askQuestion(const QString &text, const QStringList &buttons, int safeChoice);

/// Runs a handler that a control, timer or signal calls. A failure it raises
/// stops the handler where it occurred, keeps what it already wrote, is shown
/// in an error box, and the program goes on: no exception ever reaches Qt's
/// event loop. Tells whether the handler ran to its end.
bool runGuarded(const std::function<void()> &handler) noexcept;

namespace detail {
template<typename Handler, typename Result, typename Class, typename... Args>
auto guardedCall(Handler handler, Result (Class::*)(Args...) const)
{
    return [handler = std::move(handler)](Args... args) { runGuarded([&] { handler(args...); }); };
}
} // namespace detail

/// Wraps a handler (a lambda) so that every call runs guarded. The wrapper
/// takes exactly the handler's parameters, so connect() passes only those.
template<typename Handler> auto guarded(Handler handler)
{
    return detail::guardedCall(std::move(handler), &Handler::operator());
}
