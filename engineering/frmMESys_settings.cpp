// Saving the settings, the number boxes, and calibrating the outputs.
#include "audio/modDigitalIO.h"
#include "audio/modVOut.h"
#include "common/ErrorTrap.h"
#include "common/modMsgBox.h"
#include "common/modGeneral.h"
#include "common/modVarSystemParams.h"
#include "engineering/frmMESys.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Validation.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"

namespace {
const char* const kModule = "frmMESys";
}

void frmMESys::mnuFileSave_Click() { mbSave(); }

// Settings, settings file, calibration, each only when the one before did not
// fail; false when something was refused or failed. The changed mark stays.
bool frmMESys::mbSave() {
    // A box holding a value it refuses is not saved.
    if (!Validation::allowFocusMove(*this, nullptr)) return false;
    bool bError = false;
    mSystemParamsUpdate(bError);
    if (!bError) gVarSystemParamsWrite(bError);
    if (!bError) gVOutSave(bError);
    return !bError;
}

// A voltage box read with the user's decimal character; a text that is no
// number is refused with a message naming the box (stored as 0 it would make
// every drive silent).
bool frmMESys::mbVoltageRead(const TextBox& iBox, const QString& isWhat, float& ofValue, bool& obError) {
    ErrorTrap trap(kModule, "mSystemParamsUpdate", obError);
    const bool bValid = gbGTextValidSingle(iBox.Text(), obError);
    if (obError) return false;
    if (!bValid) {
        trap(10, [&] {
            gMsgBox(QStringLiteral("The ") + isWhat + QStringLiteral(" voltage '") + iBox.Text() +
                        QStringLiteral("' is not a number"),
                    vbExclamation, QStringLiteral("System Parameters"));
        });
        obError = true;
        return false;
    }
    return trap(20, [&] { ofValue = CSng(Variant(iBox.Text())); });
}

void frmMESys::mSystemParamsUpdate(bool& obError) {
    ErrorTrap trap(kModule, "mSystemParamsUpdate", obError);
    float fBoard = 0.0f;
    float fAmp = 0.0f;
    // Both voltages are read before anything changes, so a refusal changes nothing.
    if (!mbVoltageRead(*txtVOutSoundboard, QStringLiteral("soundboard"), fBoard, obError)) return;
    if (!mbVoltageRead(*txtVOutAmp, QStringLiteral("amplifier"), fAmp, obError)) return;
    int16_t nTimeOut = 0;
    if (!trap(10, [&] {
            const QString t = txtOpTimeOut->Text().trimmed();
            nTimeOut = t.isEmpty() ? int16_t(0) : CInt(Variant(t));
        }))
        return;
    if (txtStation->Text() != gsStationName) {
        gMainWindow().gNameStationLabel(txtStation->Text(), obError);
        if (obError) return;
    }
    if (!trap(20, [&] {
            gsStationName = txtStation->Text();
            gsPasswordEng = txtPasswordEng->Text();
            gsPasswordSuper = txtPasswordSuper->Text();
            gbAudioPrompts = chkAudioPrompts->Value() == vbChecked;
            gnOpTimeOut = nTimeOut;
        }))
        return;
    // With no entry chosen (a port the list does not offer) the port stays.
    bool bPortChanged = false;
    if (!trap(30, [&] {
            if (cboDigPort->ListIndex() < 0) return;
            // The entry is the board's address in hexadecimal.
            bool bHex = false;
            const int n = cboDigPort->Text().toInt(&bHex, 16);
            if (!bHex || n > 0x7FFF) throw VbError(vberr::kTypeMismatch, vbErrorText(vberr::kTypeMismatch));
            if (n != gnDigPort) {
                gnDigPort = static_cast<int16_t>(n);
                bPortChanged = true;
            }
        }))
        return;
    if (bPortChanged) {
        bool bDigError = false;   // a missing board is reported and the saving goes on
        gDigInit(bDigError);
    }
    trap(40, [&] {
        gbOpFailCheck = chkOpFailCheck->Value() == vbChecked;
        gfVOutSoundboard = fBoard;
        gfVOutAmp = fAmp;
        gbVOutPositivePolarity = chkVOutReversedPolarity->Value() != vbChecked;
    });
}

void frmMESys::cmdVOutSoundboardCalibrate_Click() { mCalibrate(false, *txtVOutSoundboard); }
void frmMESys::cmdVOutAmpCalibrate_Click() { mCalibrate(true, *txtVOutAmp); }

void frmMESys::mCalibrate(bool ibAmp, TextBox& ioBox) {
    bool bError = false;
    ErrorTrap trap(kModule, ibAmp ? "cmdVOutAmpCalibrate_Click" : "cmdVOutSoundboardCalibrate_Click", bError);
    const QString reading = gsVOutCalibrate(ibAmp, bError);
    if (bError || reading.isEmpty()) return;
    if (!trap(10, [&] { ioBox.setText(reading); })) return;
    gMainWindow().gForceReCalAll(QString(), bError);
}

void frmMESys::cmdRecalAllSeqs_Click() {
    bool bError = false;
    gMainWindow().gForceReCalAll(QString(), bError);
}

void frmMESys::cmdDigTest_Click() {
    bool bError = false;
    gMsgBoxNotYet(QStringLiteral("Digital I/O Test"), bError);
}

void frmMESys::mNumberValidate(const NumberBoxRule& iRule, bool& Cancel) {
    bool bError = false;
    // An empty time-out is 0 minutes.
    if (iRule.box->Text().trimmed().isEmpty()) return;
    Cancel = gbNumberBoxInvalid(iRule, bError);
}
