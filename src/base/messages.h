#pragma once

#include <functional>
#include <QString>

enum class MessageKind { Plain, Information, Warning, Error };

/// Shows a modal message box with an OK button and the application title.
/// The program installs the real boxes at start-up; tests install a recorder.
using MessagePresenter = std::function<void(MessageKind kind, const QString &text)>;

/// Installs presenter and returns the one it replaces.
MessagePresenter setMessagePresenter(MessagePresenter presenter);
void showMessage(const QString &text, MessageKind kind = MessageKind::Plain);

/// Runs a handler that a control, timer or signal calls. A failure it raises
/// stops the handler where it occurred, keeps what it already wrote, is shown
/// in an error box, and the program goes on: no exception ever reaches Qt's
/// event loop.
void runGuarded(const std::function<void()> &handler) noexcept;

/// Wraps a handler so that every call runs guarded (for connect()).
template<typename Handler> auto guarded(Handler handler)
{
    return [handler = std::move(handler)](
               auto &&...args) { runGuarded([&] { handler(std::forward<decltype(args)>(args)...); }); };
}
