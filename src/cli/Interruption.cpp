#include "Interruption.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <poll.h>
#include <unistd.h>

namespace varnex::cli {
namespace {

constexpr int kInterruptions[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> noted{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

void note(int signal)
{
    noted.store(signal);
}

[[noreturn]] void endBy(int signal)
{
    std::signal(signal, SIG_DFL);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signal);
    sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
    std::raise(signal);
    _exit(128 + signal);  // only if the signal did not end the process
}

}  // namespace

void catchInterruptions()
{
    struct sigaction action {};
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a blocking wait returns and the flag is seen
    for (const int signal : kInterruptions) {
        struct sigaction previous {};
        sigaction(signal, nullptr, &previous);
        // A signal ignored by whoever started us (a background job, nohup) stays ignored.
        if (previous.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

bool interrupted()
{
    return noted.load() != 0;
}

bool waitForInput(int fd)
{
    // The signals stay blocked but while ppoll waits, so none can slip in between the test of the
    // flag and the wait.
    sigset_t blocked;
    sigset_t previous;
    sigemptyset(&blocked);
    for (const int signal : kInterruptions)
        sigaddset(&blocked, signal);
    sigprocmask(SIG_BLOCK, &blocked, &previous);
    bool ready = false;
    while (!ready && !interrupted()) {
        pollfd watch{fd, POLLIN, 0};
        const int got = ppoll(&watch, 1, nullptr, &previous);
        ready = got > 0 || (got < 0 && errno != EINTR);  // a failure: the read that follows tells it
    }
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    return ready;
}

void endAsInterrupted()
{
    endBy(noted.load() != 0 ? noted.load() : SIGINT);
}

void endAsClosedPipe()
{
    endBy(SIGPIPE);
}

}  // namespace varnex::cli
