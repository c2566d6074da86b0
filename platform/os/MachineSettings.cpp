#include "platform/os/MachineSettings.h"
#include "platform/os/TextFile.h"
#include "platform/vb/VbError.h"
#include <QFile>
#include <QFileInfo>

namespace {
constexpr qsizetype kMaxValueLength = 1024;

QString normalisedKeyPath(QString iPath) {
    iPath.replace(QLatin1Char('/'), QLatin1Char('\\'));
    iPath = iPath.trimmed();
    while (iPath.startsWith(QLatin1Char('\\'))) iPath.remove(0, 1);
    while (iPath.endsWith(QLatin1Char('\\'))) iPath.chop(1);
    return iPath;
}

QString unquoted(const QString& iValue) {
    const QString v = iValue.trimmed();
    if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"'))) return v.mid(1, v.size() - 2);
    return v;
}
}

namespace machinesettings {
QString path() {
    const QString env = qEnvironmentVariable("VEXO_MACHINE_SETTINGS");
    return env.isEmpty() ? QStringLiteral("/etc/vexo/machine.ini") : env;
}

bool readValue(const QString& iKeyPath, const QString& iValueName, QString& oValue) {
    oValue.clear();
    if (!QFileInfo::exists(path())) return false;
    const QByteArray bytes = readBoundedFile(path(), kTextFileLimit);
    const QString wantedKey = normalisedKeyPath(iKeyPath);
    const QString wantedName = iValueName.trimmed();
    bool inKey = false;
    for (const QString& raw : splitTextLines(decodeText(bytes, TextEncoding::Auto))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inKey = normalisedKeyPath(line.mid(1, line.size() - 2)).compare(wantedKey, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inKey) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) continue;
        if (unquoted(line.left(eq)).compare(wantedName, Qt::CaseInsensitive) != 0) continue;
        oValue = unquoted(line.mid(eq + 1)).left(kMaxValueLength);
        return true;
    }
    return false;
}
}
