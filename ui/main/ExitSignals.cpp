#include "ui/main/ExitSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

extern "C" void onExitSignal(int) {
    const char c = 1;
    // Only async-signal-safe work here: wake the GUI thread.
    [[maybe_unused]] const auto n = ::write(signalPipe[0], &c, 1);
}
} // namespace

ExitSignals::ExitSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char c;
        [[maybe_unused]] const auto n = ::read(signalPipe[1], &c, 1);
        m_onSignal();
    });
    struct sigaction sa {};
    sa.sa_handler = onExitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

ExitSignals::~ExitSignals() {
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        std::signal(sig, SIG_DFL);
    delete m_notifier;
    for (int& fd : signalPipe)
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
}
