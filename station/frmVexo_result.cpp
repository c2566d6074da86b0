// What the response graph shows of the run: the test names by result and the
// worst block of a judged response.
#include "audio/modAudio.h"
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/modMVarious.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "station/LayerJudge.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"

namespace {
constexpr const char* kModule = "frmVexo";
constexpr int32_t kRed = 255;
constexpr int32_t kGreen = 65280;
constexpr int32_t kBlack = 0;
constexpr int32_t kYellow = 65535;
}

void frmVexo::gDrawRespGridShowTestName(const QString& isTestName, int16_t inRow, bool ibShowPrevious,
                                        bool& obError) {
    ErrorTrap trap(kModule, "gDrawRespGridShowTestName", obError);
    gVarTraboEngDrawRespGrid(true, obError);
    if (obError) return;
    const int16_t nFirst = ibShowPrevious ? 1 : inRow;
    int16_t nSlot = 0;
    for (int16_t nRow = nFirst; nRow <= inRow; ++nRow) {
        QString sName;
        int32_t lColour = kBlack;
        if (nRow < inRow) {
            nSlot = mnNextRespTest(nSlot, obError);
            if (obError) return;
            sName = gsMSubTestName(nSlot, obError);
            lColour = !obError && mabRespTestPass.at(static_cast<size_t>(nSlot)) ? kGreen : kRed;
            if (obError) return;
        } else {
            sName = isTestName;
        }
        gResponseSubShowTestName(*this, sName, nRow, lColour, obError);
        if (obError) return;
    }
    mShowWhenCalDue(obError);
}

void frmVexo::mShowPassFailLyr(int32_t ilColour, bool& obError) {
    if (mnWorstLyr == 0) {
        gMsgBox(QStringLiteral("mnWorstLyr = 0"), vbExclamation, QStringLiteral("frmVexo.mShowPassFailLyr"));
        obError = true;
        return;
    }
    ErrorTrap trap(kModule, "mShowPassFailLyr", obError);
    ResponseLayer layer;
    layerjudge::Sweep sweep;
    if (!trap(10, [&] {
            const TestRecord t(dtaTest.Recordset());
            layer = t.Layer(mnWorstLyr);
            sweep = layerjudge::Sweep{t.fLo_HzLong(), t.fHi_HzLong(), t.Swp_Point()};
        }))
        return;
    gResponseSubShowCheckRange(*this, layer.fLo, layer.fMLo, layer.fMHi, layer.fHi, layer.Lim, mnWorstLyr, obError);
    if (obError) return;
    int16_t nStart = 0;
    if (!trap(20, [&] { nStart = layerjudge::layerBlocks(sweep, layer, mnWorstLyr).start(mnWorstBlock); })) return;
    int16_t nX = 0;
    mShowPassFailLyrBlock(nStart, mnWorstLyr, nX, ilColour, obError);
    if (obError) return;
    mShowPassFailText(nX, mnWorstLyr, obError);
}

void frmVexo::mShowPassFailLyrBlock(int16_t inStart, int16_t inLayer, int16_t& onX, int32_t ilColour,
                                    bool& obError) {
    ErrorTrap trap(kModule, "mShowPassFailLyrBlock", obError);
    int32_t lLo = 0, lHi = 0;
    int16_t nPoints = 0, nBlock = 0;
    if (!trap(10, [&] {
            const TestRecord t(dtaTest.Recordset());
            lLo = t.fLo_HzLong();
            lHi = t.fHi_HzLong();
            nPoints = t.Swp_Point();
            nBlock = t.Layer(inLayer).Pt;
        }))
        return;
    const float fLeft = gfAudioPoint2Freq(lLo, lHi, nPoints, inStart, obError);
    if (obError) return;
    const float fRight = gfAudioPoint2Freq(lLo, lHi, nPoints, static_cast<int16_t>(inStart + nBlock - 1), obError);
    if (obError) return;
    onX = gnResponseSubCalcX(static_cast<float>(CLng(fLeft)), obError);
    if (obError) return;
    const int16_t nY = gnResponseSubCalcY(*this, -29.9f, obError);
    if (obError) return;
    const int16_t nRight = gnResponseSubCalcX(static_cast<float>(CLng(fRight)), obError);
    if (obError) return;
    trap(20, [&] { picResponse->Line(onX, nY, nRight, 0, ilColour, LineStyle::Box); });
}

void frmVexo::mShowPassFailText(int16_t inX, int16_t inLayer, bool& obError) {
    ErrorTrap trap(kModule, "mShowPassFailText", obError);
    trap(10, [&] {
        const float fLim = TestRecord(dtaTest.Recordset()).Layer(inLayer).Lim;
        const QString sText = Format(mfWorstDev, QStringLiteral("0.0")) + QLatin1Char('/') +
                              Format(fLim, QStringLiteral("0.0")) + QStringLiteral("dB Lyr ") +
                              QString::number(mnWorstLyr);
        DrawSurface& surface = formSurface(*this);
        const double dWidth = surface.TextWidth(sText);
        double dX = picResponse->Left() + inX;
        // Near the right edge the text ends where it would have started.
        if (dX + dWidth > surface.ScaleWidth()) dX -= dWidth;
        surface.setForeColor(kRed);
        surface.setCurrentX(dX);
        surface.setCurrentY(picResponse->Top() - 1.1 * surface.TextHeight(QStringLiteral("0")));
        surface.Print(sText);
    });
}

void frmVexo::cmdWorst_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdWorst_Click", bError);
    // After the run the test row is on the sequence's last test, which need
    // not be the response test the worst block belongs to.
    if (mnWorstLyr != 0 && !msWorstTest.isEmpty()) {
        bool bFound = false;
        if (!trap(5, [&] {
                dtaTest.Recordset().FindFirst(QStringLiteral("Test_Name = ?"), Variant(msWorstTest));
                bFound = !dtaTest.Recordset().NoMatch();
            }))
            return;
        if (!bFound) return;
    }
    mShowPassFailLyr(kYellow, bError);
    // Shown once per unit; the button stays in sight.
    trap(10, [&] { cmdWorst->setEnabled(false); });
}
