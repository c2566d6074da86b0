#include "station/CalibrationMath.h"
#include "platform/vb/Format.h"
#include "platform/vb/VbError.h"
#include <QLocale>
#include <cmath>

namespace calibrationmath {

float cellValue(float ifLevel) {
    if (std::isnan(ifLevel)) return -kCellLimit;
    if (ifLevel > kCellLimit) return kCellLimit;
    if (ifLevel < -kCellLimit) return -kCellLimit;
    return ifLevel;
}

QString encodeCell(float ifLevel) {
    return Format(cellValue(ifLevel), QStringLiteral(" 00.00;-00.00"));
}

QString encodeField(const std::vector<float>& iafCurve, int iField) {
    const int first = (iField - 1) * kFieldPoints + 1;
    if (iField < 1 || iField > kFields || static_cast<int>(iafCurve.size()) <= first + kFieldPoints - 1)
        vbRaise(vberr::kSubscriptOutOfRange);
    QString s;
    for (int p = first; p < first + kFieldPoints; ++p) s += encodeCell(iafCurve[static_cast<size_t>(p)]);
    return s;
}

float decodeCell(const QString& isCell) {
    // Written under one locale, read under another: either separator is taken.
    QString s = isCell.trimmed();
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const float f = QLocale::c().toFloat(s, &ok);
    if (!ok || s.isEmpty()) vbRaise(vberr::kTypeMismatch);
    return f;
}

void decodeField(const QString& isField, int iField, std::vector<float>& ioafCurve) {
    const int first = (iField - 1) * kFieldPoints + 1;
    if (iField < 1 || iField > kFields || static_cast<int>(ioafCurve.size()) <= first + kFieldPoints - 1)
        vbRaise(vberr::kSubscriptOutOfRange);
    for (int k = 0; k < kFieldPoints; ++k)
        ioafCurve[static_cast<size_t>(first + k)] = decodeCell(isField.mid(k * kCellWidth, kCellWidth));
}

}
