#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

// One running copy of the station per user and program folder. The first copy
// holds a lock and listens; a second copy finds the lock taken, asks the first to
// come to the front, and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* iParent = nullptr);
    ~SingleInstance() override;

    // True when this copy is the only one (it then listens for later copies).
    // A lock left empty or unreadable (a kill between its creation and its
    // writing), or one whose process is gone, is stale and taken over. Where
    // no lock can be made at all the copy starts anyway: the guard is then
    // not enforced, which the notice sink is told.
    bool acquire();
    // Where the guard's notices go (the program's log); stderr when not set.
    static void setNoticeSink(std::function<void(const QString&)> iSink);
    // Asks the running copy to come to the front; false when none answered.
    static bool activateRunning(int iTimeoutMs = 2000);
    // The name lock and server share, unique per user and program folder.
    static QString key();

signals:
    void activateRequested();

private:
    std::unique_ptr<QLockFile> mLock;
    QString mLockPath;   // the lock this instance holds, when it holds one
    QLocalServer* mServer = nullptr;
};
