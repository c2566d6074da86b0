#include "platform/os/OsVersion.h"
#include <QFile>
#include <QRegularExpression>
#include <sys/utsname.h>

OsVersionInfo queryOsVersion() {
    OsVersionInfo info;
    utsname u{};
    if (uname(&u) != 0) return info;
    info.ok = true;
    info.platformName = QString::fromLocal8Bit(u.sysname);
    // "6.1.0-18-amd64": major, minor and the third number as the build.
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^(\\d+)\\.(\\d+)(?:\\.(\\d+))?")).match(QString::fromLocal8Bit(u.release));
    if (m.hasMatch()) {
        info.major = m.captured(1).toInt();
        info.minor = m.captured(2).toInt();
        info.build = m.captured(3).toInt();
    }
    QFile f(QStringLiteral("/etc/os-release"));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (line.startsWith("PRETTY_NAME=")) {
                QString v = QString::fromUtf8(line.mid(12)).trimmed();
                if (v.size() >= 2 && (v.startsWith(QLatin1Char('"')) || v.startsWith(QLatin1Char('\''))))
                    v = v.mid(1, v.size() - 2);
                info.extra = v;
            }
        }
    }
    return info;
}
