#include "common/modErrorHandler.h"
#include "common/modEMail.h"
#include "common/modFile.h"
#include "common/modGeneral.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/os/TerminationSignals.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/DateTime.h"
#include "platform/vb/Format.h"
#include "platform/vb/VbError.h"
#include <QFile>
#include <cstdio>

int32_t glErrorResponse = 0;
QString gsErrorContext;

namespace {
const QString kCrLf = QStringLiteral("\r\n");
constexpr qint64 kErrorLogReadLimit = qint64(16) << 20;

// One log entry: a double quote, the text, a double quote, CR LF. The log is
// written as UTF-8 so that any error text or file name survives.
bool mFileAppendLine(const QString& iPath, const QString& iText) {
    QFile f(iPath);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const QByteArray bytes = (QLatin1Char('"') + iText + QLatin1Char('"') + kCrLf).toUtf8();
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    return ok && f.error() == QFile::NoError;
}

void offerBugReport() {
    if (userSetting(QStringLiteral("SendBugReports"), QStringLiteral("1")) !=
        QLatin1String("1"))
        return;
    QStringList lines;
    QString title;
    try {
        // A log grown over years is read from its end, up to a bound; only its end is sent.
        gFileReadDotArray(errorLogPath(), true, lines, title, kErrorLogReadLimit, FileBound::KeepEnd);
    } catch (const VbError&) {
        return;   // a log that cannot be read offers nothing to send
    }
    const qsizetype n = lines.size() - 1;
    if (n < 1) return;
    if (gMsgBox(QStringLiteral("Would you like to email Pelmo a bug report?"), vbYesNo | vbQuestion,
                QStringLiteral("EMail bug report?")) != vbYes)
        return;
    QString body;
    for (qsizetype i = (n > 50 ? n - 50 : 1); i <= n; ++i) body += lines.at(i) + kCrLf;
    gEMailSend(QStringLiteral("Bug"), QStringLiteral("Bug Report"), body);
}
}

QString gsVersion() {
    return QStringLiteral("v%1.%2").arg(appinfo::versionMajor()).arg(appinfo::versionRevision(), 3, 10, QLatin1Char('0'));
}

QString errorLogPath() { return appinfo::programPath(appinfo::exeName() + QStringLiteral(".log")); }

namespace {
// The first two lines of a log entry: when and where, and what (with iSource).
QString msLogEntryHead(const QString& iSource) {
    QString head = vbGeneralDateText(vclock::nowDays()) + QStringLiteral("  ") + gsOSVersion +
                   QStringLiteral("  Locale: ") + gsUserRegionCode + kCrLf;
    head += appinfo::productName() + QLatin1Char(' ') + gsVersion();
    if (!iSource.isEmpty()) head += QStringLiteral("  ") + iSource;
    return head + kCrLf;
}
}

void gErrorLogNote(const QString& iText) {
    try {
        if (!mFileAppendLine(errorLogPath(), msLogEntryHead(QString()) + iText + kCrLf))
            std::fprintf(stderr, "Could not write the error log %s\n", qPrintable(errorLogPath()));
    } catch (...) {
        std::fprintf(stderr, "%s\n", qPrintable(iText));
    }
}

int16_t gnErrorHandler(const QString& iModule, const QString& iRoutine, int32_t iLine) {
    try {
        const ErrObject& e = Err();
        // A shutdown the user asked for is no fault: the work it ends is given up
        // as after Abort, with nothing logged, shown or offered.
        if (e.Number == termination::kErrorNumber) return vbAbort;
        const QString source = iModule + QLatin1Char('.') + iRoutine + QLatin1Char('.') + QString::number(iLine);
        QString entry = msLogEntryHead(source);
        entry += QStringLiteral("DllError: ") + QString::number(e.LastDllError) + QStringLiteral("  ErrNo: ") +
                 QString::number(static_cast<int32_t>(e.Number)) + QStringLiteral("  ") + e.Description + kCrLf;
        if (!gsErrorContext.isEmpty()) entry += gsErrorContext + kCrLf;
        if (!mFileAppendLine(errorLogPath(), entry))
            std::fprintf(stderr, "Could not write the error log %s\n", qPrintable(errorLogPath()));

        const int defaultButton = e.Number == vberr::kUserBase ? vbDefaultButton3 : vbDefaultButton2;
        const int answer = gMsgBox(QStringLiteral("Source: ") + source + kCrLf + kCrLf + e.Description,
                                   vbAbortRetryIgnore | vbExclamation | defaultButton, QStringLiteral("Error!"));
        if (answer == vbAbort) offerBugReport();
        return static_cast<int16_t>(answer);
    } catch (...) {
        // The handler must answer whatever happens to it: give up the failing routine.
        return vbAbort;
    }
}
