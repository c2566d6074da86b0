#include "platform/os/SingleInstance.h"
#include "platform/os/AppInfo.h"
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
std::function<void(const QString&)>& noticeSink() {
    static std::function<void(const QString&)> sink;
    return sink;
}

void notice(const QString& iText) {
    if (noticeSink()) noticeSink()(iText);
    else std::fprintf(stderr, "%s\n", qPrintable(iText));
}

// A lock being written this moment is empty for an instant: only one that
// stayed empty longer than this is taken for a copy killed mid-write.
constexpr qint64 kEmptyLockGraceMs = 3000;

// The program a process runs, by the name of its executable ("" when it cannot
// be read). A program rebuilt while it runs reads "Vexo (deleted)".
QString programNameOf(const QString& iProcFolder) {
    QString target = QFileInfo(iProcFolder + QStringLiteral("/exe")).symLinkTarget();
    if (target.endsWith(QLatin1String(" (deleted)"))) target.chop(10);
    return QFileInfo(target).fileName();
}

// The locks this process holds itself.
QStringList& heldLocks() {
    static QStringList s;
    return s;
}

// Whether the live process a lock names is the program that made the lock (its
// executable's name is the one the lock recorded): an id now used by another
// program (reused after a restart of the machine), or by this very process
// without its own lock, holds no running copy. A process that cannot be looked
// at counts as the locker.
bool mbProcessIsLocker(qint64 iPid, const QString& iLockApp, const QString& iPath) {
    if (iPid == static_cast<qint64>(::getpid())) return heldLocks().contains(iPath);
    const QString theirs = programNameOf(QStringLiteral("/proc/%1").arg(iPid));
    const QString locker = iLockApp.isEmpty() ? programNameOf(QStringLiteral("/proc/self")) : iLockApp;
    if (theirs.isEmpty() || locker.isEmpty()) return true;
    return theirs == locker;
}

// The lock holds no live copy: unreadable or empty (and not just being
// written), naming a process that is gone, or one that is not the locker.
bool mbLockIsStale(QLockFile& iLock, const QString& iPath) {
    qint64 pid = 0;
    QString host, app;
    if (!iLock.getLockInfo(&pid, &host, &app) || pid <= 0) {
        const QDateTime written = QFileInfo(iPath).lastModified();
        return !written.isValid() || written.msecsTo(QDateTime::currentDateTime()) > kEmptyLockGraceMs;
    }
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) return true;
    return !mbProcessIsLocker(pid, app, iPath);
}
}

void SingleInstance::setNoticeSink(std::function<void(const QString&)> iSink) { noticeSink() = std::move(iSink); }

SingleInstance::SingleInstance(QObject* iParent) : QObject(iParent) {}
SingleInstance::~SingleInstance() {
    if (!mLockPath.isEmpty()) heldLocks().removeOne(mLockPath);
}

QString SingleInstance::key() {
    const QByteArray folder = QDir(appinfo::programFolder()).canonicalPath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("%1-%2-%3").arg(appinfo::exeName()).arg(getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::acquire() {
    const QString path = QDir::temp().filePath(key() + QStringLiteral(".lock"));
    mLock = std::make_unique<QLockFile>(path);
    mLock->setStaleLockTime(0);   // a crashed copy's lock is recognised by its dead process
    if (!mLock->tryLock(0)) {
        if (mLock->error() != QLockFile::LockFailedError) {
            notice(QStringLiteral("No lock can be made at %1: the station starts without its guard "
                                  "against a second running copy.")
                       .arg(path));
            mLock.reset();
            return true;
        }
        if (!mbLockIsStale(*mLock, path) || !mLock->removeStaleLockFile() || !mLock->tryLock(0)) {
            mLock.reset();
            return false;
        }
    }
    mLockPath = path;
    heldLocks() << path;
    QLocalServer::removeServer(key());
    mServer = new QLocalServer(this);
    mServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (mServer->listen(key())) {
        connect(mServer, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* s = mServer->nextPendingConnection()) {
                connect(s, &QLocalSocket::readyRead, this, [this, s] {
                    if (s->readAll().contains("activate")) emit activateRequested();
                    s->write("ok\n");
                    s->flush();
                    s->disconnectFromServer();
                });
                connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    return true;
}

bool SingleInstance::activateRunning(int iTimeoutMs) {
    QLocalSocket s;
    s.connectToServer(key());
    if (!s.waitForConnected(iTimeoutMs)) return false;
    s.write("activate\n");
    if (!s.waitForBytesWritten(iTimeoutMs)) return false;
    return s.waitForReadyRead(iTimeoutMs) && s.readAll().startsWith("ok");
}
