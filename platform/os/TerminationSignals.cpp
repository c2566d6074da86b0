#include "platform/os/TerminationSignals.h"
#include "platform/vb/VbError.h"
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
int gPipe[2] = {-1, -1};
volatile std::sig_atomic_t gRequested = 0;

extern "C" void onTerminationSignal(int iSignal) {
    gRequested = 1;
    const unsigned char byte = static_cast<unsigned char>(iSignal);
    const int saved = errno;
    [[maybe_unused]] const ssize_t n = ::write(gPipe[1], &byte, 1);
    errno = saved;
}
}

TerminationSignals::TerminationSignals(QObject* iParent) : QObject(iParent) {
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    mNotifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(gPipe[0], &byte, 1) == 1) emit requested(byte);
    });
    struct sigaction sa = {};
    sa.sa_handler = onTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &sa, nullptr);
}

TerminationSignals::~TerminationSignals() {
    struct sigaction sa = {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &sa, nullptr);
    delete mNotifier;
    mNotifier = nullptr;
    for (int& fd : gPipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

namespace termination {
bool requested() { return gRequested != 0; }

void raiseIfRequested() {
    if (gRequested != 0) vbRaise(kErrorNumber, QStringLiteral("The station is shutting down"));
}
}
