#include "station/ProductionMath.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/Strings.h"
#include "platform/vb/VbError.h"
#include <charconv>
#include <cmath>

namespace prodmath {

QString dayText(double idDays) { return Format(idDays, QStringLiteral("00000.000000")); }

double dayValue(const QString& isText) {
    // Read on every production row of the day: parsed directly, no locale lookup.
    const QString s = isText.trimmed();
    char buf[64];
    if (s.isEmpty() || s.size() >= static_cast<qsizetype>(sizeof buf)) vbRaise(vberr::kTypeMismatch);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        buf[i] = c == u',' ? '.' : (c < 128 ? static_cast<char>(c) : '?');
    }
    double d = 0.0;
    const char* end = buf + s.size();
    const auto [ptr, ec] = std::from_chars(buf, end, d);
    if (ec != std::errc() || ptr != end) vbRaise(vberr::kTypeMismatch);
    return d;
}

int16_t countValue(const QString& isText) {
    // The station writes whole numbers; a decimal one (either decimal
    // character) is rounded half to even as any conversion to a count.
    const QByteArray b = isText.trimmed().toLatin1();
    long long n = 0;
    const auto [ptr, ec] = std::from_chars(b.constData(), b.constData() + b.size(), n);
    if (!b.isEmpty() && ec == std::errc() && ptr == b.constData() + b.size()) return checkedInt(n);
    const double d = dayValue(isText);
    if (!(std::fabs(d) < 1e9)) vbRaise(vberr::kOverflow);
    return checkedInt(static_cast<long long>(roundHalfEven(d)));
}

bool sameDay(double idA, double idB) { return std::floor(idA) == std::floor(idB); }

double rowWorkingTime(const ProductionRow& iRow) { return iRow.dEnd - iRow.dStart - iRow.dPause; }

QString percentText(float ifRatio) {
    if (ifRatio == 0.0f) return QStringLiteral("0%");
    if (ifRatio < 0.1f) {
        // Just under 10% one decimal would round up to "10.0%"; the whole
        // percent is what that value shows.
        const QString s = Format(ifRatio, QStringLiteral("0.0%"));
        if (s.size() <= 4) return s;
    }
    return Format(ifRatio, QStringLiteral("00%"));
}

QString rightAligned(const QString& isText, int iWidth) {
    if (isText.size() >= iWidth) return isText;
    return Space(iWidth - isText.size()) + isText;
}

void ProductionTally::beginRead() {
    mnUnitsToday = 0;
    mnFailsToday = 0;
    mnUnitsSeq = 0;
    mnFailsSeq = 0;
    mdRunTotal = 0.0;
}

void ProductionTally::addRow(const ProductionRow& iRow, const QString& isSeqName, double idToday) {
    if (!sameDay(iRow.dStart, idToday)) return;
    mdRunTotal += rowWorkingTime(iRow);
    mnUnitsToday = checkedInt(static_cast<long long>(mnUnitsToday) + iRow.nUnits);
    mnFailsToday = checkedInt(static_cast<long long>(mnFailsToday) + iRow.nFails);
    if (RTrim(iRow.sSeq) == isSeqName) {
        mnUnitsSeq = checkedInt(static_cast<long long>(mnUnitsSeq) + iRow.nUnits);
        mnFailsSeq = checkedInt(static_cast<long long>(mnFailsSeq) + iRow.nFails);
    }
}

void ProductionTally::endRead(double idNow) {
    mdMeanPerUnit = mnUnitsToday != 0 ? mdRunTotal / mnUnitsToday : 0.0;
    startPeriod(idNow);
}

void ProductionTally::startPeriod(double idNow) {
    mnUnitsSeqMark = mnUnitsSeq;
    mnFailsSeqMark = mnFailsSeq;
    mdPeriodStart = idNow;
    mdPauseTotal = 0.0;
    // An open pause goes on from the new period's start.
    if (mdPauseStart != 0.0) mdPauseStart = idNow;
}

void ProductionTally::count(bool ibFailed, double idNow) {
    mnUnitsToday = checkedInt(static_cast<long long>(mnUnitsToday) + 1);
    mnUnitsSeq = checkedInt(static_cast<long long>(mnUnitsSeq) + 1);
    if (ibFailed) {
        mnFailsToday = checkedInt(static_cast<long long>(mnFailsToday) + 1);
        mnFailsSeq = checkedInt(static_cast<long long>(mnFailsSeq) + 1);
    }
    mdMeanPerUnit = (mdRunTotal + (idNow - mdPeriodStart) - mdPauseTotal) / mnUnitsToday;
}

bool ProductionTally::periodRow(double idNow, const QString& isSeqName, ProductionRow& oRow) const {
    if (mnUnitsSeq - mnUnitsSeqMark == 0) return false;
    double dPause = mdPauseTotal;
    if (mdPauseStart != 0.0) dPause += idNow - mdPauseStart;
    // The values as the table keeps them, so that what stays in memory is what
    // a read of the table gives.
    oRow.sSeq = isSeqName;
    oRow.dStart = dayValue(dayText(mdPeriodStart));
    oRow.dEnd = dayValue(dayText(idNow));
    oRow.dPause = dayValue(dayText(dPause));
    oRow.nUnits = checkedInt(static_cast<long long>(mnUnitsSeq) - mnUnitsSeqMark);
    oRow.nFails = checkedInt(static_cast<long long>(mnFailsSeq) - mnFailsSeqMark);
    return true;
}

void ProductionTally::rowWritten(const ProductionRow& iRow) {
    mdRunTotal += rowWorkingTime(iRow);
    mdMeanPerUnit = mnUnitsToday != 0 ? mdRunTotal / mnUnitsToday : 0.0;
    startPeriod(iRow.dEnd);
}

void ProductionTally::pauseOpen(double idNow) { mdPauseStart = idNow; }

void ProductionTally::pauseClose(double idNow) {
    if (mdPauseStart != 0.0) mdPauseTotal += idNow - mdPauseStart;
    mdPauseStart = 0.0;
}

QString ProductionTally::summaryHead() const {
    const float p1 = mnUnitsToday != 0 ? static_cast<float>(mnFailsToday) / static_cast<float>(mnUnitsToday) : 0.0f;
    const float p2 = mnUnitsSeq != 0 ? static_cast<float>(mnFailsSeq) / static_cast<float>(mnUnitsSeq) : 0.0f;
    const QString s2 = percentText(p2);
    return QStringLiteral("Total") + rightAligned(QString::number(mnUnitsToday), 5) +
           rightAligned(QString::number(mnUnitsSeq), 5) + QStringLiteral("  Fail ") + rightAligned(percentText(p1), 4) +
           Space(qMax(0, 4 - static_cast<int>(s2.size()))) + QLatin1Char(' ') + s2 + QStringLiteral("    ");
}

}
