#pragma once
#include "platform/vb/VbError.h"
#include <QObject>

class QSocketNotifier;

// A shutdown of the machine (SIGTERM), Ctrl+C at a terminal (SIGINT) or a
// closed terminal (SIGHUP) reach the program as a Qt signal on the event
// loop, so that it can close its main window as a user would. The handler
// itself only marks the request and writes one byte to a pipe, the few things
// safe to do there.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance per program.
    explicit TerminationSignals(QObject* iParent = nullptr);
    ~TerminationSignals() override;

signals:
    void requested(int iSignal);

private:
    QSocketNotifier* mNotifier = nullptr;
};

// Whether a shutdown was asked for. Marked by the signal handler itself, so that
// a measurement that is waiting on the sound card sees it at its next poll,
// before the event loop delivers the signal.
namespace termination {
bool requested();
// The number of the error raiseIfRequested raises, by which the error handler
// tells a shutdown from a fault.
constexpr long kErrorNumber = vberr::kUserBase + 2;
// Raises a user-defined error ("The station is shutting down") once a shutdown
// was asked for: the running measurement is then given up as after an Abort.
void raiseIfRequested();
}
