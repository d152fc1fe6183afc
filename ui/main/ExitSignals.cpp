#include "ui/main/ExitSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

extern "C" void OnExitSignal(int) {
    const char c = 1;
    // Only async-signal-safe work here: wake the GUI thread.
    [[maybe_unused]] const auto n = ::write(signalPipe[0], &c, 1);
}
} // namespace

ExitSignals::ExitSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char c;
        [[maybe_unused]] const auto n = ::read(signalPipe[1], &c, 1);
        onSignal_();
    });
    struct sigaction sa {};
    sa.sa_handler = OnExitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

ExitSignals::~ExitSignals() {
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        std::signal(sig, SIG_DFL);
    delete notifier_;
    for (int& fd : signalPipe)
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
}
