#include "station/modMSub.h"
#include "audio/modWavePolarityHi.h"
#include "audio/modWaveResponse.h"
#include "common/frmMultiButton.h"
#include "common/frmPrompt.h"
#include "common/modForm.h"
#include "common/modVarLookup.h"
#include "platform/vb/Conversions.h"
#include "station/CalibrationMath.h"
#include <cmath>
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"

namespace {
constexpr const char* kModule = "modMSub";
constexpr int32_t kCyan = 0xFFFF00;
constexpr int32_t kWhite = 0xFFFFFF;
// gafRefCrv holds the current test's calibrated reference.
bool sbRefCrvLoaded = false;
}

ResponseCurve gafRefCrv(101, 0.0f);
ResponseCurve gafRef2Target(1, 0.0f);
ResponseCurve gafTargetLevel(1, 0.0f);

QString gsMSubTestName(int16_t inSlot, bool& obError) {
    ErrorTrap trap(kModule, "gsMSubTestName", obError);
    QString sName;
    trap(10, [&] { sName = SequenceRecord(form<frmVexo>().dtaSeq.Recordset()).TestName(inSlot); });
    return sName;
}

void gMSubPolarityGridShow(bool& obError) {
    ErrorTrap trap(kModule, "gMSubPolarityGridShow", obError);
    PictureBox* pic = form<frmVexo>().picPolarity;
    if (!trap(10, [&] { pic->Move(360, 700, 3325, 2550); })) return;
    gWavePolarityHiInitShowDraw(*pic, 3325, 2550, obError);
}

void gMSubPolarityGridTestNameShow(const QString& isTestName, int16_t inRow, int32_t ilColour, bool& obError) {
    ErrorTrap trap(kModule, "gMSubPolarityGridTestNameShow", obError);
    trap(10, [&] {
        PictureBox& pic = *form<frmVexo>().picPolarity;
        double x = 0;
        int line = inRow - 1;
        if (inRow <= 12) {
            x = pic.Width() - pic.TextWidth(isTestName + QStringLiteral("  "));
        } else {
            x = pic.TextWidth(QStringLiteral(" "));
            line = inRow - 13;
        }
        pic.setCurrentX(x);
        pic.setCurrentY(pic.TextHeight(QStringLiteral("X")) * (line + 0.1));
        pic.setForeColor(ilColour);
        pic.Print(isTestName);
    });
}

bool gMSubSetRefCrvActive(const QString& isSeqName, const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "gMSubSetRefCrvActive", obError);
    sbRefCrvLoaded = false;
    const bool bFound = gbVarFindSeqCalTestName(isSeqName, isTestName, obError);
    if (obError || !bFound) return false;
    bool bHasRef = false;
    if (!trap(10, [&] { bHasRef = CalibrationRecord(form<frmVexo>().dtaSeqCal.Recordset()).hasReference(); }))
        return false;
    if (!bHasRef) return false;
    if (gafRefCrv.size() < 101) gafRefCrv.resize(101, 0.0f);
    for (int q = 1; q <= calibrationmath::kFields; ++q) {
        if (!trap(20, [&] {
                gUseRecordField(form<frmVexo>().dtaSeqCal.Recordset(), CalibrationRecord::refField(q),
                                [&](const Variant& v) {
                                    calibrationmath::decodeField(v.isNull() ? QString() : CStr(v), q, gafRefCrv);
                                });
            }))
            return false;
    }
    sbRefCrvLoaded = true;
    return true;
}

void gMSubResponseShowRef(int32_t ilMicLevel, bool& obError) {
    ErrorTrap trap(kModule, "gMSubResponseShowRef", obError);
    frmVexo& frm = form<frmVexo>();
    int32_t lLo = 0, lHi = 0;
    int16_t nPoints = 0;
    if (!trap(10, [&] {
            const TestRecord t(frm.dtaTest.Recordset());
            lLo = t.fLo_HzLong();
            lHi = t.fHi_HzLong();
            nPoints = t.Swp_Point();
        }))
        return;
    // A test not calibrated for the sequence has no reference to draw.
    if (glCurveUBound(gafRef2Target) != 0)
        gResponseSubPlotSet(frm, lLo, lHi, nPoints, gafRef2Target, kCyan, 2, obError);
    else if (sbRefCrvLoaded)
        gResponseSubPlotSet(frm, lLo, lHi, nPoints, gafRefCrv, kCyan, 2, obError);
    if (obError) return;
    gResponseSubShowRange(frm, ilMicLevel, obError);
}

bool gbMSubResponseTestOpDo(float ifLo, float ifHi, int16_t inPoints, float ifDelay, float ifDrive, bool ibActive,
                            int32_t ilMicLevel, const QString& isTestName, int16_t inRespNo, bool& obError) {
    ErrorTrap trap(kModule, "gbMSubResponseTestOpDo", obError);
    frmVexo& frm = form<frmVexo>();
    const QStringList asButtons{QString(), QStringLiteral("&Sweep"), QStringLiteral("&Clear"), QStringLiteral("&Fail"),
                                QStringLiteral("&Pass")};
    int32_t lLeft = 0, lTop = 0;
    if (!trap(10, [&] {
            const int32_t lLeftDefault = frm.Left() + (frm.Width() - 6975) / 2;
            const int32_t lTopDefault = frm.Top() + static_cast<int32_t>(std::lround(0.61 * frm.Height()));
            bool bError = false;
            gFormSettingLeftTopGet(QStringLiteral("frmSwitchTest"), lLeftDefault, lTopDefault, lLeft, lTop, bError);
            if (bError) vbRaise(vberr::kUserBase + 18, QStringLiteral("Switch Test place not read"));
        }))
        return false;
    QString sLetter;
    for (;;) {
        ResponseCurve afLevel(static_cast<size_t>(std::max<int16_t>(inPoints, 0)) + 1, 0.0f);
        ResponseCurve afCorrected(afLevel.size(), 0.0f);
        gWaveResponse(frm, ifLo, ifHi, inPoints, ifDelay, ifDrive, ibActive, ilMicLevel, 0, false, kWhite, 0, afLevel,
                      afCorrected, obError);
        if (obError) return false;
        sLetter = frmMultiButton::gsMultiButton(asButtons, 1, QStringLiteral("Switch Test"), lLeft, lTop, obError);
        if (obError) return false;
        if (sLetter == QLatin1String("F") || sLetter == QLatin1String("P")) break;
        if (sLetter == QLatin1String("C")) {
            if (!trap(20, [&] { frm.picResponse->Cls(); })) return false;
            frm.gDrawRespGridShowTestName(isTestName, inRespNo, true, obError);
            if (obError) return false;
        }
    }
    gFormSettingLeftTopSave(QStringLiteral("frmSwitchTest"), lLeft, lTop, obError);
    return sLetter == QLatin1String("P");
}

void gMSubRespShowWhenCaliDue(const QString& isText, bool& obError) {
    ErrorTrap trap(kModule, "gMSubRespShowWhenCaliDue", obError);
    frmVexo& frm = form<frmVexo>();
    PictureBox& pic = *frm.picResponse;
    const int32_t lKeptColour = pic.ForeColor();
    if (!trap(10, [&] { pic.setForeColor(isText.contains(QLatin1Char('!')) ? 255 : 0); })) return;
    const int16_t nTop = gnResponseSubLblTop(frm, 0, obError);
    if (!obError) {
        trap(20, [&] {
            pic.setCurrentX(50);
            pic.setCurrentY(nTop);
            pic.Print(isText);
        });
    }
    pic.setForeColor(lKeptColour);
}

namespace {
bool sbRunInProgress = false;
}   // namespace

void gMSubSineShowPrompt(const QString& isTitle, const QString& isSweepType, const QString& isHiHz,
                         const QString& isLoHz, const QString& isVolts, bool ibStationMeasures, bool& obError) {
    ErrorTrap trap(kModule, "gMSubSineShowPrompt", obError);
    QString sText;
    if (Val(isVolts) > 0) {
        if (isSweepType != QLatin1String("No Sweep") && !ibStationMeasures) {
            const int u = isSweepType.indexOf(QLatin1String("Up")) + 1;
            const int d = isSweepType.indexOf(QLatin1String("Down")) + 1;
            if (u > 0 && (d == 0 || u < d))
                sText = isLoHz + QLatin1Char('-') + isHiHz;
            else
                sText = isHiHz + QLatin1Char('-') + isLoHz;
        } else {
            sText = isLoHz;
        }
        sText += QStringLiteral("(Hz) @ ");
    }
    sText += isVolts + QStringLiteral("(V)");
    frmPrompt::gDisplay(sText, isTitle, obError);
}

bool gbMSubRunInProgress() { return sbRunInProgress; }

RunInProgress::RunInProgress() : mbWas(sbRunInProgress) { sbRunInProgress = true; }
RunInProgress::~RunInProgress() { sbRunInProgress = mbWas; }
