#include "platform/os/SingleInstance.h"
#include "platform/os/AppInfo.h"
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <unistd.h>

SingleInstance::SingleInstance(QObject* iParent) : QObject(iParent) {}
SingleInstance::~SingleInstance() = default;

QString SingleInstance::key() {
    const QByteArray folder = QDir(appinfo::programFolder()).canonicalPath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("%1-%2-%3").arg(appinfo::exeName()).arg(getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::acquire() {
    mLock = std::make_unique<QLockFile>(QDir::temp().filePath(key() + QStringLiteral(".lock")));
    mLock->setStaleLockTime(0);   // a crashed copy's lock is recognised by its dead process
    if (!mLock->tryLock(0)) {
        mLock.reset();
        return false;
    }
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
