#include "audio/modFileResponseCurveRead.h"
#include "common/ErrorTrap.h"
#include "common/modFile.h"
#include "common/modProcessNumberLo.h"
#include "common/modStringParse.h"
#include "platform/vb/Locale.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"
#include <QLocale>
#include <cmath>

namespace {
const char* kModule = "modFileResponseCurveRead";

// A number of a curve file. Files are shared between stations, so "." is the
// decimal point everywhere (a comma-decimal locale would read "-2.5" as -25
// with it as a group separator); a locale's own decimal character is taken as
// well unless it is the comma, which ends the frequency field.
float mfCurveNumber(const QString& isText) {
    QString t = isText.trimmed();
    const QString dec = userlocale::user().decimalPoint();
    if (dec != QLatin1String(",") && dec != QLatin1String(".")) t.replace(dec, QStringLiteral("."));
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = t.isEmpty() ? 0.0 : c.toDouble(t, &ok);
    if (!ok || !std::isfinite(v)) vbRaise(vberr::kTypeMismatch);
    return CSng(v);
}

void mMakeCurveMatchSweepRange(int32_t n, float fLo, float fHi, std::vector<float>& afFreq,
                               std::vector<float>& afLevel, bool& obError) {
    ErrorTrap trap(kModule, "mMakeCurveMatchSweepRange", obError);
    trap(10, [&] {
        if (n < 2 || static_cast<int32_t>(afFreq.size()) <= n || static_cast<int32_t>(afLevel.size()) <= n)
            vbRaise(vberr::kSubscriptOutOfRange);
        if (afFreq[1] > fLo) {
            const float level = gfPnStraightLine(afFreq[1], afLevel[1], afFreq[2], afLevel[2], fLo, false, obError);
            afFreq.insert(afFreq.begin() + 1, fLo);
            afLevel.insert(afLevel.begin() + 1, level);
            ++n;
        }
        if (afFreq[static_cast<size_t>(n)] < fHi) {
            const size_t last = static_cast<size_t>(n);
            const float level =
                gfPnStraightLine(afFreq[last - 1], afLevel[last - 1], afFreq[last], afLevel[last], fHi, false, obError);
            afFreq.push_back(fHi);
            afLevel.push_back(level);
        }
    });
}
}

int16_t gFileResponseCurveRead(const QString& sFile, float fSweepLo, float fSweepHi, std::vector<float>& afFreq,
                               std::vector<float>& afLevel, bool& obError) {
    ErrorTrap trap(kModule, "gFileResponseCurveRead", obError);
    QString title = QStringLiteral("modFileResponseCurveRead.gFileResponseCurveRead");
    QStringList lines;
    bool read = false;
    trap(10, [&] {
        gFileReadDotArray(sFile, false, lines, title, kCurveFileLimit);
        read = true;
    });
    const QString suffix = QStringLiteral(" in file '") + sFile + QStringLiteral("'");
    const int32_t n = static_cast<int32_t>(lines.size()) - 1;
    if (!read) {
        obError = true;
    } else if (n < 1) {
        gMsgBox(QStringLiteral("No data") + suffix, vbExclamation, title);
        obError = true;
    } else if (n == 1) {
        gMsgBox(QStringLiteral("Only one point") + suffix, vbExclamation, title);
        obError = true;
    } else {
        bool parsed = false;
        trap(20, [&] {
            afFreq.assign(static_cast<size_t>(n) + 1, 0.0f);
            afLevel.assign(static_cast<size_t>(n) + 1, 0.0f);
            for (int32_t i = 1; i <= n; ++i) {
                const QString& line = lines.at(i);
                int16_t pos = 1;
                bool parseError = false;
                const QString freq = gsStringParse(line, QStringLiteral(","), pos, parseError);
                if (parseError) vbRaise(vberr::kTypeMismatch);
                const size_t at = static_cast<size_t>(i);
                afFreq[at] = mfCurveNumber(freq);
                afLevel[at] = mfCurveNumber(Mid(line, pos));
                // A frequency of 0 or below has no logarithm: it would poison
                // the correction of every point.
                if (afFreq[at] <= 0.0f) {
                    gMsgBox(CStr(afFreq[at]) + QStringLiteral(" <= 0") + suffix + QStringLiteral(" - Data invalid"),
                            vbExclamation, title);
                    obError = true;
                    return;
                }
                if (i > 1 && afFreq[at] <= afFreq[at - 1]) {
                    gMsgBox(CStr(afFreq[at]) + QStringLiteral(" <= ") + CStr(afFreq[at - 1]) + suffix +
                                QStringLiteral(" - Data invalid"),
                            vbExclamation, title);
                    obError = true;
                    return;
                }
            }
            parsed = true;
        });
        if (!parsed) obError = true;
        if (!obError) mMakeCurveMatchSweepRange(n, fSweepLo, fSweepHi, afFreq, afLevel, obError);
    }
    if (obError) {
        afFreq.assign(1, 0.0f);
        afLevel.assign(1, 0.0f);
    }
    return 0;
}
