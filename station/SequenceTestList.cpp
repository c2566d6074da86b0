#include "station/SequenceTestList.h"
#include "platform/vb/Format.h"
#include <QRegularExpression>

namespace {
const QString kResponse = QStringLiteral("Response");
const QString kPolarity = QStringLiteral("Polarity");
}

int16_t nextRespTest(const TestList& iList, int16_t inSlot) {
    const int16_t upper = testListUpper(iList);
    if (inSlot < 0) inSlot = 0;
    for (int16_t k = static_cast<int16_t>(inSlot + 1); k <= upper; ++k)
        if (iList[k].sType == kResponse) return k;
    return 0;
}

int16_t mainRespSlot(const TestList& iList, const QString& isMainResp) {
    if (!isMainResp.isEmpty())
        for (int k = 1; k < iList.size(); ++k)
            if (iList[k].sType == kResponse && iList[k].sName == isMainResp) return static_cast<int16_t>(k);
    return nextRespTest(iList, 0);
}

QString polarityFirstInSeq(const TestList& iList) {
    for (int k = 1; k < iList.size(); ++k)
        if (iList[k].sType == kPolarity) return iList[k].sName;
    return QString();
}

RespSummary respSummary(const TestList& iList) {
    RespSummary s;
    for (int k = 1; k < iList.size(); ++k) {
        if (iList[k].sType != kResponse) continue;
        s.nLastRespSlot = static_cast<int16_t>(k);
        ++s.nRespTestCount;
    }
    return s;
}

QString refSearchLabel(float ifRefLim) {
    if (!(ifRefLim > 0.0f)) return QString();
    return QStringLiteral("Ref Search (dB) ") + Format(ifRefLim, QStringLiteral("0.00"));
}

QString selectionLabel(float ifSelLim) {
    return QStringLiteral("Selection (dB) ") + Format(ifSelLim, QStringLiteral("0.00"));
}

QString stationLabel(const QString& isStationName) { return QStringLiteral("Station:  ") + isStationName; }

QString cardLabelFromInfo(const QString& isInfoShort) {
    // Lines end at CR LF in the summary; a lone CR or LF ends one too.
    qsizetype start = isInfoShort.indexOf(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (start < 0) return QString();
    start += isInfoShort.mid(start, 2) == QLatin1String("\r\n") ? 2 : 1;
    qsizetype end = isInfoShort.indexOf(QRegularExpression(QStringLiteral("[\r\n]")), start);
    return isInfoShort.mid(start, end < 0 ? -1 : end - start);
}
