#include "common/modNumberFormat.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/vb/Conversions.h"

QString gsNumberFormat(float ifStep, bool& obError) {
    ErrorTrap trap("modNumberFormat", "gsNumberFormat", obError);
    const QString decimal = gsGetLocaleInfoUserDecimalChar(obError);
    if (obError) return QString();
    QString pattern;
    trap(10, [&] {
        const QString step = CStr(ifStep);
        const qsizetype at = step.indexOf(decimal);
        if (at >= 0) pattern = QStringLiteral("0.") + QString(step.size() - at - 1, QLatin1Char('0'));
    });
    return pattern;
}
