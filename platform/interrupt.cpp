// Ctrl-C, SIGTERM and SIGHUP noted for a direct-mode run; see interrupt.h.
#include "platform/interrupt.h"

#include <signal.h>

namespace {

const int interrupts[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t noted = 0;

void Note(int signal)
{
    noted = signal;
}

void Handle(void (*handler)(int), int flags)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    action.sa_flags = flags;
    for (int signal : interrupts) sigaction(signal, &action, NULL);
}

} // namespace

void WatchInterrupts()
{
    // Wine's own handlers would let the process run on, or end one thread.
    Handle(Note, 0);
}

int InterruptSignal()
{
    return noted;
}

void IgnoreInterrupts()
{
    Handle(SIG_IGN, 0);
}
