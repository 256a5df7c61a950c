#include "termination.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <utility>

namespace quorrel::app {

TerminationSignals::TerminationSignals() {
    sigemptyset(&blocked_);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaddset(&blocked_, signal);
    }
    pthread_sigmask(SIG_BLOCK, &blocked_, &former_);
    fd_ = signalfd(-1, &blocked_, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
        pthread_sigmask(SIG_SETMASK, &former_, nullptr);  // the signals keep their usual effect
    }
}

TerminationSignals::~TerminationSignals() {
    notifier_.reset();
    if (fd_ >= 0) {
        close(fd_);
        // A signal that came after the event loop ended is taken now, as it would have been.
        pthread_sigmask(SIG_SETMASK, &former_, nullptr);
    }
}

void TerminationSignals::watch(std::function<void()> onSignal) {
    if (fd_ < 0) {
        return;
    }
    onSignal_ = std::move(onSignal);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        signalfd_siginfo info{};
        while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        }
        onSignal_();
    });
}

}  // namespace quorrel::app
