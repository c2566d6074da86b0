#pragma once
#include <QObject>

class QSocketNotifier;

// A shutdown of the machine (SIGTERM), Ctrl+C at a terminal (SIGINT) or a
// closed terminal (SIGHUP) reach the program as a Qt signal on the event
// loop, so that it can close its main window as a user would. The handler
// itself only writes one byte to a pipe, the one thing safe to do there.
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
