// The program's answer to SIGTERM, SIGINT and SIGHUP: read in the event loop, not fatal.

#include "termination.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QTest>

namespace quorrel::app {
namespace {

bool blocked(int signal) {
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    return sigismember(&mask, signal) == 1;
}

TEST(TerminationSignals, EachSignalReachesTheEventLoopInsteadOfEndingTheProcess) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        int calls = 0;
        {
            TerminationSignals termination;
            termination.watch([&calls] { ++calls; });
            EXPECT_TRUE(blocked(signal));
            ASSERT_EQ(raise(signal), 0);
            EXPECT_TRUE(QTest::qWaitFor([&calls] { return calls > 0; }));
            EXPECT_EQ(calls, 1);
        }
        EXPECT_FALSE(blocked(signal)) << "the former mask is back";
    }
}

}  // namespace
}  // namespace quorrel::app
