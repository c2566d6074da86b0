#include "platform/os/CupsJob.h"
#include <cups/cups.h>
#include <sys/socket.h>

namespace cupsjob {
namespace {
constexpr int kConnectMs = 10000;
constexpr double kIoSeconds = 30.0;

// Called by libcups when a read or write has waited kIoSeconds: give up.
int stopWaiting(http_t*, void*) { return 0; }

// One connection to the scheduler, with deadlines on connecting and on every
// exchange (the default connection of libcups waits without a bound).
class Connection {
public:
    Connection() {
        mHttp = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectMs, nullptr);
        if (mHttp) httpSetTimeout(mHttp, kIoSeconds, stopWaiting, nullptr);
    }
    ~Connection() {
        if (mHttp) httpClose(mHttp);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    http_t* http() const { return mHttp; }

private:
    http_t* mHttp = nullptr;
};

QString lastError() {
    const char* s = cupsLastErrorString();
    return s && *s ? QString::fromUtf8(s) : QStringLiteral("the print server did not answer");
}

QString unreachable() {
    return QStringLiteral("cannot reach the print server %1").arg(QString::fromUtf8(cupsServer()));
}

// A queue name as Qt lists it may carry an instance ("queue/instance"); jobs go to the queue.
QByteArray queueName(const QString& iQueue) { return iQueue.section(QLatin1Char('/'), 0, 0).toUtf8(); }
}

QString defaultQueue(QString* oReason) {
    Connection c;
    if (!c.http()) {
        if (oReason) *oReason = unreachable();
        return {};
    }
    cups_dest_t* dest = cupsGetNamedDest(c.http(), nullptr, nullptr);
    if (!dest) {
        if (oReason) *oReason = QStringLiteral("no default printer");
        return {};
    }
    const QString name = QString::fromUtf8(dest->name);
    cupsFreeDests(1, dest);
    return name;
}

int send(const QString& iQueue, const QString& iTitle, const char* iFormat, const QByteArray& iBytes,
         QString& oReason) {
    if (iQueue.isEmpty()) {
        oReason = QStringLiteral("no printer");
        return 0;
    }
    Connection c;
    if (!c.http()) {
        oReason = unreachable();
        return 0;
    }
    const QByteArray queue = queueName(iQueue);
    const QByteArray title = iTitle.toUtf8();
    const int job = cupsCreateJob(c.http(), queue.constData(), title.constData(), 0, nullptr);
    if (job == 0) {
        oReason = lastError();
        return 0;
    }
    bool ok = cupsStartDocument(c.http(), queue.constData(), job, title.constData(), iFormat, 1) ==
              HTTP_STATUS_CONTINUE;
    if (ok && !iBytes.isEmpty())
        ok = cupsWriteRequestData(c.http(), iBytes.constData(), static_cast<size_t>(iBytes.size())) ==
             HTTP_STATUS_CONTINUE;
    // Finishing also reads the answer to a document whose sending failed.
    const ipp_status_t finished = cupsFinishDocument(c.http(), queue.constData());
    if (ok && finished <= IPP_STATUS_OK_EVENTS_COMPLETE) return job;
    oReason = lastError();
    // A job that is not complete must not print half a document.
    Connection cancel;
    if (cancel.http()) cupsCancelJob2(cancel.http(), queue.constData(), job, 1);
    return 0;
}
}
