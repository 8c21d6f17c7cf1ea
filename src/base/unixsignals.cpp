#include "unixsignals.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <QSocketNotifier>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// One socket pair for the whole process: the handler writes to end 0, the
// GUI thread reads end 1.
int pipeEnds[2] = {-1, -1};
std::vector<UnixSignalWatcher *> watchers;
QSocketNotifier *notifier = nullptr;

void onSignal(int signalNumber)
{
    const char byte = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[0], &byte, 1);
}

bool openPipe()
{
    if (pipeEnds[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return false;
    ::fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte = 0;
        if (::read(pipeEnds[1], &byte, 1) != 1)
            return;
        const int signalNumber = int(static_cast<unsigned char>(byte));
        for (UnixSignalWatcher *watcher : std::vector<UnixSignalWatcher *>(watchers))
            if (watcher->watches(signalNumber))
                emit watcher->received(signalNumber);
    });
    return true;
}

} // namespace

UnixSignalWatcher::UnixSignalWatcher(std::initializer_list<int> signalNumbers, QObject *parent)
    : QObject(parent)
    , m_signals(signalNumbers)
{
    if (!openPipe())
        return;
    watchers.push_back(this);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : m_signals)
        ::sigaction(signalNumber, &action, nullptr);
}

bool UnixSignalWatcher::watches(int signalNumber) const
{
    return std::find(m_signals.begin(), m_signals.end(), signalNumber) != m_signals.end();
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    watchers.erase(std::remove(watchers.begin(), watchers.end(), this), watchers.end());
    // A signal nobody watches any more gets its default action back.
    for (int signalNumber : m_signals) {
        const bool stillWatched = std::any_of(
            watchers.begin(), watchers.end(), [&](const UnixSignalWatcher *w) { return w->watches(signalNumber); });
        if (!stillWatched)
            ::signal(signalNumber, SIG_DFL);
    }
}
