#include "tests/support/PdfProbe.h"
#include "platform/ui/Printer.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <pwd.h>
#include <unistd.h>

namespace pdfprobe {
QString run(const QString& iProgram, const QStringList& iArgs) {
    QProcess p;
    p.start(iProgram, iArgs);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pages(const QString& iPdf) {
    const auto m = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
                       .match(run(QStringLiteral("pdfinfo"), {iPdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString text(const QString& iPdf, bool iLayout) {
    QStringList args{iPdf, QStringLiteral("-")};
    if (iLayout) args.prepend(QStringLiteral("-layout"));
    return run(QStringLiteral("pdftotext"), args);
}

QPointF wordPosition(const QString& iPdf, const QString& iWord) {
    const QString html = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), iPdf, QStringLiteral("-")});
    const auto m = QRegularExpression(QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>%1</word>")
                                          .arg(QRegularExpression::escape(iWord)))
                       .match(html);
    return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QPointF(-1, -1);
}

bool firstPagePicture(const QString& iPdf, const QString& iPngBase, const QString& iDocsName) {
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-f"), QStringLiteral("1"),
         QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-singlefile"), iPdf, iPngBase});
    QFile picture(iPngBase + QStringLiteral(".png"));
    if (!picture.exists() || picture.size() <= 1000) return false;
    const QString docs = qEnvironmentVariable("VEXO_DOCS_DIR");
    if (!docs.isEmpty() && !iDocsName.isEmpty()) {
        QFile::remove(QDir(docs).filePath(iDocsName));
        if (!picture.copy(QDir(docs).filePath(iDocsName))) return false;
    }
    return true;
}

QString cupsPdfFolder() {
    QString out = QStringLiteral("${HOME}/PDF");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly)) {
        for (const QString& line : QString::fromUtf8(conf.readAll()).split(QLatin1Char('\n'))) {
            const QString l = line.trimmed();
            if (l.startsWith(QLatin1String("Out ")) || l.startsWith(QLatin1String("Out\t"))) out = l.mid(4).trimmed();
        }
    }
    const passwd* pw = getpwuid(getuid());
    return out.replace(QLatin1String("${HOME}"), QString::fromLocal8Bit(pw ? pw->pw_dir : ""))
        .replace(QLatin1String("${USER}"), QString::fromLocal8Bit(pw ? pw->pw_name : ""));
}

QString awaitCupsPdf(int iJob) {
    const QDir dir(cupsPdfFolder());
    for (QDeadlineTimer deadline(60000); !deadline.hasExpired(); QThread::msleep(200)) {
        const QStringList found = dir.entryList({QStringLiteral("*-job_%1.pdf").arg(iJob)}, QDir::Files);
        if (!found.isEmpty() && pages(dir.filePath(found.first())) > 0) return dir.filePath(found.first());
    }
    return {};
}

QString cupsUnavailable() {
    if (Printer.DeviceName() == QLatin1String("StationPDF")) return {};
    return QStringLiteral("no CUPS scheduler with StationPDF as the default printer: run the tests with "
                          "./vexo test, or start tests/support/cups-start.sh DIR and set CUPS_SERVER=DIR/cups.sock");
}
}
