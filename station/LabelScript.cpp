#include "station/LabelScript.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/Strings.h"
#include "platform/vb/VbError.h"
#include <cstdint>

namespace {
// A count written after a code: a whole number in 16 bits; nothing written is 0,
// so that "CR" ends one line and "SPACE" prints nothing.
int16_t count(const QString& iText) {
    if (iText.isEmpty()) return 0;
    return CInt(Variant(iText));
}

// The date pattern trimmed of NUL characters and blanks at both ends.
QString datePattern(QString iText) {
    for (;;) {
        const QString before = iText;
        iText = Trim(iText);
        while (iText.startsWith(QChar(0))) iText.remove(0, 1);
        while (iText.endsWith(QChar(0))) iText.chop(1);
        if (iText == before) return iText;
    }
}

QString partner(int32_t ilSerial) {
    const int64_t serial = ilSerial;
    const int64_t other = serial % 2 != 0 ? serial + 1 : serial - 1;
    if (other > INT32_MAX || other < INT32_MIN) vbRaise(vberr::kOverflow);
    return QString::number(other);
}
}   // namespace

LabelCodeText labelCodeText(const QString& isCommand, const LabelUnit& iUnit) {
    const QString cmd = UCase(isCommand);
    LabelCodeText out;
    if (cmd.contains(QLatin1String("SPACE"))) {
        const int16_t n = count(Mid(cmd, 6));
        if (n >= 1 && n <= 255) out.sText = Space(n);
    } else if (cmd.startsWith(QLatin1String("CR"))) {
        const int16_t n = count(Mid(cmd, 3));
        if (n >= 0) out.sText = QStringLiteral("\r\n").repeated(n == 0 ? 1 : n);
    } else if (cmd.startsWith(QLatin1String("DATE"))) {
        QString pattern = datePattern(Mid(cmd, 5));
        if (pattern.isEmpty()) pattern = QStringLiteral("d mmmm yyyy");
        out.sText = FormatDate(iUnit.dNow, pattern);
    } else if (cmd == QLatin1String("ID")) {
        out.sText = Left(iUnit.sCard, 4);
    } else if (cmd == QLatin1String("MODEL")) {
        out.sText = iUnit.sSeqName;
    } else if (cmd == QLatin1String("OPERATOR")) {
        out.sText = iUnit.sOperator;
    } else if (cmd == QLatin1String("PARTNER")) {
        out.sText = partner(CLng(iUnit.vSerialNo));
    } else if (cmd.startsWith(QLatin1String("PLOT"))) {
        out.bBeep = true;
    } else if (cmd == QLatin1String("SERIAL")) {
        out.sText = QString::number(CLng(iUnit.vSerialNo));
    } else if (cmd == QLatin1String("TIME")) {
        out.sText = FormatDate(iUnit.dNow, QStringLiteral("hh:mm"));
    } else if (cmd == QLatin1String(".")) {
        out.sText = QStringLiteral(".");
    }
    return out;
}
