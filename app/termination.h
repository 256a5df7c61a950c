#pragma once

#include <signal.h>

#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace quorrel::app {

// Ends the program the orderly way when the session asks it to: SIGTERM (logout, `kill`),
// SIGINT (Ctrl+C in the terminal) and SIGHUP (the terminal closed) are blocked from the moment
// this is made, in this thread and every thread started after it, and read instead from a
// signalfd in the event loop, which then runs `onSignal` (the program quits its event loop, so
// the window closes and the program exits with status 0). Make it at the start of main, before
// the QApplication starts any thread; call watch() once the QApplication exists. The signals'
// former mask comes back when it is destroyed.
class TerminationSignals {
  public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    void watch(std::function<void()> onSignal);

  private:
    sigset_t blocked_{};
    sigset_t former_{};
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> onSignal_;
};

}  // namespace quorrel::app
