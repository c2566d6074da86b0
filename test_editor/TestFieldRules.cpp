#include "test_editor/TestFieldRules.h"
#include "common/StationRecords.h"
#include "platform/vb/Format.h"
#include <QLocale>
#include <algorithm>

namespace testfields {

namespace {
bool isPolarity(const QString& isType) { return isType == QLatin1String("Polarity"); }
}

float delayMax(const QString& isType) { return isPolarity(isType) ? 1.9999f : 9.99f; }

QString delayFormat(const QString& isType) {
    return isPolarity(isType) ? QStringLiteral("0.0000") : QStringLiteral("0.000");
}

float delayStep(const QString& isType) { return isPolarity(isType) ? 0.0001f : 0.001f; }

float driveMax(bool ibActive, float ifSoundboard, float ifAmp, float ifSoundboardFallback, float ifAmpFallback) {
    if (ibActive) return ifSoundboard > 0.0f ? ifSoundboard : ifSoundboardFallback;
    return ifAmp > 0.0f ? ifAmp : ifAmpFallback;
}

QString driveText(float ifDrive, const QString& isDecimalChar) {
    QString text = QLocale::c().toString(static_cast<double>(ifDrive), 'g', 7);
    text.replace(QLatin1Char('.'), isDecimalChar);
    return text;
}

int32_t fHiMin(int32_t ilLo, bool ibLayersBound, const QList<LayerBand>& iaLayers) {
    int32_t m = 0;
    if (ibLayersBound)
        for (const LayerBand& l : iaLayers)
            if (l.on && l.fHi > m) m = l.fHi;
    const int64_t twice = 2 * int64_t(ilLo);
    if (twice > m) m = static_cast<int32_t>(std::min<int64_t>(twice, INT32_MAX));
    return m;
}

int32_t fLoMax(int32_t ilHi, bool ibLayerWindow, bool ibNoSweep, bool ibOpDecide, const QList<LayerBand>& iaLayers) {
    const int32_t half = ilHi / 2;
    if (!ibLayerWindow) return ibNoSweep ? kFHiMax : half;
    int32_t m = kFHiMax;
    if (!ibOpDecide)
        for (const LayerBand& l : iaLayers)
            if (l.on && l.fLo < m) m = l.fLo;
    return std::min(m, half);
}

int32_t sweepRaisedHigh(int32_t ilLo, int32_t ilHi) {
    const int32_t t = static_cast<int32_t>(std::min<int64_t>(2 * int64_t(ilLo), kFHiMax));
    return ilHi < t ? t : -1;
}

QList<QPair<QString, Variant>> newTestValues(const QString& isType, const QString& isName) {
    const bool response = isType == QLatin1String("Response");
    const bool sine = isType == QLatin1String("Sine");
    const bool extDist = isType == QLatin1String("Ext Dist");
    QList<QPair<QString, Variant>> v{
        {QStringLiteral("Test_Name"), Variant(isName)},
        {QStringLiteral("Test_Type"), Variant(isType)},
        {QStringLiteral("fLo_Hz"), Variant(int32_t(response ? 45 : 20))},
        {QStringLiteral("fHi_Hz"), Variant(int32_t(response ? 18000 : 60))},
        {QStringLiteral("Swp_Point"), Variant(int16_t(40))},
        {QStringLiteral("SwpDur_s"), Variant(5.0f)},
        {QStringLiteral("Delay_s"), Variant(0.0f)},
        {QStringLiteral("Drive_V"), Variant(1.0f)},
        {QStringLiteral("Averages"), Variant(int16_t(1))},
        {QStringLiteral("Exit_Flag"), Variant(false)},
        {QStringLiteral("Op_Decide"), Variant(sine)},
        {QStringLiteral("Pulse_LF"), Variant(true)},
        {QStringLiteral("Op_Prompt"), Variant(QStringLiteral("Rattle"))},
        {QStringLiteral("fLo_Lim"), Variant(-99.0f)},
        {QStringLiteral("fHi_Lim"), Variant(1.0f)},
    };
    if (extDist) {
        v.append({QStringLiteral("PC_Decide"), Variant(true)});
        v.append({QStringLiteral("ExtDistNo"), Variant(int16_t(1))});
    }
    if (response)
        for (int n = 1; n <= 6; ++n) {
            v.append({layerField(n, "On"), Variant(int16_t(n <= 2 ? 1 : 0))});
            v.append({layerField(n, "Pt#"), Variant(int16_t(4))});
            v.append({layerField(n, "fLo"), Variant(int32_t(45))});
            v.append({layerField(n, "fMLo"), Variant(int32_t(0))});
            v.append({layerField(n, "fMHi"), Variant(int32_t(0))});
            v.append({layerField(n, "fHi"), Variant(int32_t(18000))});
            v.append({layerField(n, "Lim"), Variant(float(n))});
        }
    return v;
}

}

namespace testfields {

QStringList extDistortionModes() {
    return {QStringLiteral("100Hz RMS THD, 200-22kHz"),
            QStringLiteral("315Hz RMS 3rd harmonic, narrow band"),
            QStringLiteral("1kHz RMS THD, 2k-22kHz"),
            QStringLiteral("6.3kHz RMS THD, 12k-22kHz"),
            QStringLiteral("10kHz RMS THD, 20k-22kHz"),
            QStringLiteral("40Hz RMS 2-400Hz"),
            QStringLiteral("1kHz RMS 3rd harmonic - experimental"),
            QStringLiteral("1kHz notch only, 22-22kHz"),
            QStringLiteral("6.3kHz notch only, 22-22kHz"),
            QStringLiteral("10kHz notch only, 22-22kHz"),
            QStringLiteral("100Hz CCIR weighted quasi-peak"),
            QStringLiteral("315Hz CCIR weighted quasi-peak"),
            QStringLiteral("1kHz CCIR weighted quasi-peak"),
            QStringLiteral("6.3kHz CCIR weighted quasi-peak"),
            QStringLiteral("10kHz CCIR weighted quasi-peak")};
}

QString sineResultLine(int iRun, float ifLevel) {
    return QString::number(iRun) + QStringLiteral("  ") + Format(ifLevel, QStringLiteral(" 00;-00"));
}

QString distortionResultLine(int iRun, float ifReading) {
    return QString::number(iRun) + QStringLiteral("  ") + Format(ifReading, QStringLiteral("00.00")) + QLatin1Char('%');
}

}
