#pragma once
#include <QObject>
#include <QString>
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
    bool acquire();
    // Asks the running copy to come to the front; false when none answered.
    static bool activateRunning(int iTimeoutMs = 2000);
    // The name lock and server share, unique per user and program folder.
    static QString key();

signals:
    void activateRequested();

private:
    std::unique_ptr<QLockFile> mLock;
    QLocalServer* mServer = nullptr;
};
