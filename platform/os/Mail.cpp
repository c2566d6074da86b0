#include "platform/os/Mail.h"
#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QStandardPaths>

namespace {
QString sendmailProgram() {
    const QByteArray env = qgetenv("VEXO_SENDMAIL");
    if (!env.isEmpty()) return QString::fromLocal8Bit(env);
    for (const char* p : {"/usr/sbin/sendmail", "/usr/lib/sendmail"})
        if (QFileInfo(QString::fromLatin1(p)).isExecutable()) return QString::fromLatin1(p);
    return QStandardPaths::findExecutable(QStringLiteral("sendmail"));
}

// RFC 2047 encoded words for a header that is not plain ASCII. One word may be
// at most 75 characters, so longer texts become several words on folded lines,
// each cut between whole characters.
QByteArray headerText(const QString& iText) {
    bool ascii = true;
    for (QChar c : iText) if (c.unicode() > 126 || c.unicode() < 32) ascii = false;
    if (ascii) return iText.toLatin1();
    constexpr qsizetype kMaxBytes = 45;   // 60 base64 characters + 12 of framing
    QList<QByteArray> words;
    QByteArray chunk;
    for (qsizetype i = 0; i < iText.size(); ++i) {
        const qsizetype n = iText.at(i).isHighSurrogate() && i + 1 < iText.size() ? 2 : 1;
        const QByteArray bytes = iText.mid(i, n).toUtf8();
        i += n - 1;
        if (chunk.size() + bytes.size() > kMaxBytes) {
            words << chunk;
            chunk.clear();
        }
        chunk += bytes;
    }
    words << chunk;
    QByteArray out;
    for (const QByteArray& w : words) {
        if (!out.isEmpty()) out += "\n ";
        out += "=?UTF-8?B?" + w.toBase64() + "?=";
    }
    return out;
}

// A header value on one line: a line break in it would start a header of its own.
QString oneLine(QString iText) {
    for (QChar& c : iText)
        if (c.unicode() < 32 || c.unicode() == 127) c = QLatin1Char(' ');
    return iText;
}
}

QByteArray composeMailMessage(const QString& iTo, const QString& iSubject, const QString& iBody) {
    QString body = iBody;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QByteArray m;
    m += "To: " + oneLine(iTo).toLatin1() + "\n";
    m += "Subject: " + headerText(iSubject) + "\n";
    // The zone as a numeric offset: a zone name such as "CET" is not a valid date.
    m += "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1() + "\n";
    m += "MIME-Version: 1.0\n";
    m += "Content-Type: text/plain; charset=UTF-8\n";
    m += "Content-Transfer-Encoding: 8bit\n";
    m += "\n";
    // sendmail runs with -i, so a lone "." line is text like any other.
    for (const QString& line : body.split(QLatin1Char('\n'))) {
        m += line.toUtf8();
        m += "\n";
    }
    return m;
}

bool sendMailMessage(const QString& iTo, const QString& iSubject, const QString& iBody, QString& oReason) {
    const QString program = sendmailProgram();
    if (program.isEmpty() || !QFileInfo(program).isExecutable()) {
        oReason = QStringLiteral("no sendmail program");
        return false;
    }
    QProcess p;
    p.start(program, {QStringLiteral("-t"), QStringLiteral("-i")});
    if (!p.waitForStarted(5000)) {
        oReason = p.errorString();
        return false;
    }
    p.write(composeMailMessage(iTo, iSubject, iBody));
    p.closeWriteChannel();
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(1000);
        oReason = QStringLiteral("sendmail did not finish");
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        oReason = QStringLiteral("sendmail exit code %1").arg(p.exitCode());
        return false;
    }
    return true;
}
