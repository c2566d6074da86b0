#include "station/modMSub.h"
#include "audio/modWavePolarityHi.h"
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"

namespace {
constexpr const char* kModule = "modMSub";
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

void gMSubSetRefCrvActive(const QString& isSeqName, const QString& isTestName, bool& obError) {
    // Filled with the calibration's loading of reference curves.
    Q_UNUSED(isSeqName);
    Q_UNUSED(isTestName);
    Q_UNUSED(obError);
}

void gMSubResponseShowRef(int32_t ilMicLevel, bool& obError) {
    // Filled with the response test's drawing of the comparison curve.
    Q_UNUSED(ilMicLevel);
    Q_UNUSED(obError);
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
