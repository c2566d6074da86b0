// The sine, polarity and distortion tests of the unit run.
#include "audio/modMSine.h"
#include "audio/modWavePolarityHi.h"
#include "audio/modWavePolarityTIP.h"
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/frmPrompt.h"
#include "platform/ui/FormRegistry.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"

namespace {
constexpr const char* kModule = "frmVexo";
constexpr int32_t kGreen = 65280;
constexpr int32_t kRed = 255;

// The notice goes and the main window comes back to the front on every way out.
class SineNoticeCloser {
public:
    explicit SineNoticeCloser(frmVexo& ioForm) : mForm(ioForm) {}
    ~SineNoticeCloser() {
        if (isLoaded<frmPrompt>()) unload<frmPrompt>();
        mForm.BringToFront();
    }
    SineNoticeCloser(const SineNoticeCloser&) = delete;
    SineNoticeCloser& operator=(const SineNoticeCloser&) = delete;

private:
    frmVexo& mForm;
};
}   // namespace

bool frmVexo::mbCmdTestDoSine(QString& ioTestName, bool& obError) {
    ErrorTrap trap(kModule, "mbCmdTestDoSine", obError);
    const SineNoticeCloser closer(*this);
    const Recordset& rs = dtaTest.Recordset();
    QString sSweep, sHi, sLo, sVolts;
    bool bPCDecide = false;
    if (!trap(10, [&] {
            const TestRecord t(rs);
            sSweep = t.Swp_Type();
            sHi = CStr(rs.field(QStringLiteral("fHi_Hz")));
            sLo = CStr(rs.field(QStringLiteral("fLo_Hz")));
            sVolts = CStr(rs.field(QStringLiteral("Drive_V")));
            bPCDecide = t.PC_Decide(false);
        }))
        return false;
    gMSubSineShowPrompt(ioTestName, sSweep, sHi, sLo, sVolts, bPCDecide, obError);
    if (obError) return false;
    SineTestSettings typTest;
    if (!trap(20, [&] {
            const TestRecord t(rs);
            typTest.sTestName = ioTestName;
            typTest.fLo_Hz = t.fLo_Hz();
            typTest.fHi_Hz = t.fHi_Hz();
            typTest.Swp_Type = t.Swp_Type();
            typTest.Delay_s = t.Delay_s();
            typTest.SwpDur_s = t.SwpDur_s();
            typTest.Drive_V = t.Drive_V();
            typTest.Active_Flag = t.Active_Flag();
            typTest.Op_Decide = t.Op_Decide(false);
            typTest.Op_DecideY = t.Op_DecideY();
            typTest.PC_Decide = t.PC_Decide(false);
            // No question stored reads as an empty one: a station-measured
            // test never asks it.
            typTest.Op_Prompt = rs.field(QStringLiteral("Op_Prompt")).isNull() ? QString() : t.Op_Prompt();
            typTest.fLo_Lim = t.fLo_Lim();
            typTest.fHi_Lim = t.fHi_Lim();
        }))
        return false;
    float fLevel = 0.0f;
    const bool bPass = gbSine(typTest, fLevel, obError);
    if (obError) return bPass;
    trap(30, [&] {
        if (TestRecord(rs).PC_Decide(true))
            ioTestName = ioTestName + QStringLiteral("  (") + QString::number(typTest.fHi_Lim) + QStringLiteral(") ") +
                         Format(fLevel, QStringLiteral("0.0")) + QStringLiteral(" (") +
                         QString::number(typTest.fLo_Lim) + QStringLiteral(") (dB)");
    });
    return bPass;
}

bool frmVexo::mbPolarity(const QString& isTestName, int16_t inRow, bool& obError) {
    ErrorTrap trap(kModule, "mbPolarity", obError);
    gMSubPolarityGridShow(obError);
    if (obError) return false;
    gMSubPolarityGridTestNameShow(isTestName, inRow, 0, obError);
    if (obError) return false;
    bool bLowFreq = false, bActive = false, bNeg = false;
    float fDelay = 0.0f, fDrive = 0.0f;
    if (!trap(10, [&] {
            const TestRecord t(dtaTest.Recordset());
            bLowFreq = t.Pulse_LF();
            fDelay = t.Delay_s();
            fDrive = t.Drive_V();
            bActive = t.Active_Flag();
            bNeg = t.P_Neg_Flag();
        }))
        return false;
    int16_t nMarkerX = 0;
    const int16_t nResult = gnWavePolarityTIP(bLowFreq, fDelay, fDrive, bActive, nMarkerX, obError);
    if (obError) return false;
    const bool bPass = (nResult == 1 && !bNeg) || (nResult == -1 && bNeg);
    if (bPass)
        gWavePolarityHiShowDecision(nMarkerX, kGreen, obError);
    else if (nResult != 0)
        gWavePolarityHiShowDecision(nMarkerX, kRed, obError);
    return bPass;
}

bool frmVexo::mbDistortion(const QString& isTestName, bool& obError) {
    // The station has no distortion measurement: such a test fails the unit.
    Q_UNUSED(isTestName);
    ErrorTrap trap(kModule, "mbDistortion", obError);
    trap(10, [&] { (void)TestRecord(dtaTest.Recordset()).Test_Name(); });
    return false;
}
