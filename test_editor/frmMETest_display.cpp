#include "test_editor/frmMETest.h"
#include "audio/modWavePolarityHi.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/modControlCbo.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"
#include "platform/vb/Conversions.h"
#include "test_editor/frmMETestExtDistortion.h"
#include "test_editor/frmMETestPolarity.h"
#include "test_editor/frmMETestResponse.h"
#include "test_editor/frmMETestSine.h"
#include <QEvent>

namespace {
const char* const kModule = "frmMETest";
const QString kTypical = QStringLiteral("Typical");
}

// The loaded type window, first of distortion, polarity, response, sine.
METestTypeForm* frmMETest::mLoadedSecondary() {
    if (isLoaded<frmMETestExtDistortion>()) return &form<frmMETestExtDistortion>();
    if (isLoaded<frmMETestPolarity>()) return &form<frmMETestPolarity>();
    if (isLoaded<frmMETestResponse>()) return &form<frmMETestResponse>();
    if (isLoaded<frmMETestSine>()) return &form<frmMETestSine>();
    return nullptr;
}

// The sine window's measure box is unchecked (or the window is not open).
bool frmMETest::mbSineMeasureUnchecked() {
    return !isLoaded<frmMETestSine>() || form<frmMETestSine>().chkPCDecide->Value() == 0;
}

void frmMETest::dtaTest_Reposition() {
    if (mbDontProcess) return;
    // An answer to the save question holds for its own move only.
    gbTestDontSave = false;
    mbSaveConfirmed = false;
    bool bError = false;
    ErrorTrap trap(kModule, "dtaTest_Reposition", bError);
    if (!mbHasCurrent()) return;
    cmdReRun->setVisible(false);
    mbForceReCal = false;
    mlRespScale = 0;
    mZeroMfCurveArray();
    QString name;
    if (!trap(20, [&] { name = CStr(dtaTest.Recordset().field(QStringLiteral("Test_Name"))); })) return;
    mDelayDriveActiveEnable(name != kTypical, bError);
    if (!bError) mDataTestRepositionSecondary(name, bError);
    // The record's sweep type is selected before the up-down ranges: their
    // bounds follow the list ("No Sweep" lets Low reach 20000), and ranges
    // figured with the previous test's sweep type refuse a valid record.
    if (!bError) trap(60, [&] {
            const Variant stored = dtaTest.Recordset().field(QStringLiteral("Swp_Type"));
            int16_t index = 0;
            bool bFindError = false;
            if (stored.isNull() || !gbCtrlCboListFindString(*cboSweepType, CStr(stored), index, bFindError) ||
                bFindError)
                index = 0;
            cboSweepType->setListIndex(index);
        });
    if (!bError) gMETestUpdFLoSet(bError);
    if (!bError) gMETestUpdFHiSet(bError);
    if (!bError && !trap(50, [&] {
            const Variant drive = dtaTest.Recordset().field(QStringLiteral("Drive_V"));
            txtDriveV->setText(drive.isNull() ? QString() : msDriveVListInitPtr(CSng(drive), bError));
            // The stored value in its shown form is no edit.
            txtDriveV->setDataChanged(false);
        }))
        return;
    if (bError) return;
    mSetUnlinkedDataResetEnabled(false, bError);
    if (bError) return;
    trap(80, [&] {
        FlagHold dontProcess(mbDontProcess);
        mShowTestName(name);
    });
    // Last: the sweep type's Click above sets it for a response test.
    mbForceReCal = false;
}

void frmMETest::mDataTestRepositionSecondary(const QString& isTestName, bool& obError) {
    const QString type = msTestType();
    // Only the shown test's type window stays open: another type's window
    // goes first, its edits asked about as on any move.
    const QString keep = type == QLatin1String("Response")   ? QStringLiteral("frmMETestResponse")
                         : type == QLatin1String("Polarity") ? QStringLiteral("frmMETestPolarity")
                         : type == QLatin1String("Sine")     ? QStringLiteral("frmMETestSine")
                         : type == QLatin1String("Ext Dist") ? QStringLiteral("frmMETestExtDistortion")
                                                             : QString();
    mUnloadFormsSecondary(keep, obError);
    if (obError) return;
    if (type == QLatin1String("Response")) mDtaTestRepositionResponse(isTestName, obError);
    else if (type == QLatin1String("Polarity")) mDtaTestRepositionPolarity(isTestName, obError);
    else if (type == QLatin1String("Sine")) mDtaTestRepositionSine(isTestName, obError);
    else if (type == QLatin1String("Ext Dist")) mDtaTestRepositionExtDist(isTestName, obError);
}

void frmMETest::mDtaTestRepositionResponse(const QString& isTestName, bool& obError) {
    const bool t = isTestName != kTypical;
    mPointFLoShowEnable(true, t, true, t, obError);
    if (!obError) mFHiShow(true, obError);
    if (!obError) mFHiEnable(t, obError);
    if (!obError) mOpDecideShow(t, obError);
    if (!obError) mShowDurationUpDownBothLogLin(false, obError);
    if (obError) return;
    frmMETestResponse& w = form<frmMETestResponse>();
    mSecondaryDtaFindFirst(w, isTestName, true, obError);
    if (obError) return;
    ErrorTrap trap(kModule, "mDtaTestRepositionResponse", obError);
    trap(10, [&] { w.dtaTest.Recordset().FindFirst(QStringLiteral("Test_Name = ?"), Variant(isTestName)); });
}

void frmMETest::mDtaTestRepositionPolarity(const QString& isTestName, bool& obError) {
    mPointShowEnableFLoShow(false, false, false, obError);
    if (!obError) mOpDecideShow(false, obError);
    if (!obError) mSineSweepShow(false, obError);
    if (!obError) mSecondaryDtaFindFirst(form<frmMETestPolarity>(), isTestName, true, obError);
    if (!obError) gMETestPolarityInitClsEtc(true, obError);
}

void frmMETest::mDtaTestRepositionSine(const QString& isTestName, bool& obError) {
    mPointFLoShowEnable(false, false, true, true, obError);
    if (!obError) mSineSweepShow(true, obError);
    if (obError) return;
    ErrorTrap trap(kModule, "mDtaTestRepositionSine", obError);
    if (!trap(10, [&] {
            const Variant yes = dtaTest.Recordset().field(QStringLiteral("Op_DecideY"));
            FlagHold dontProcess(mbDontProcess);
            if (!yes.isNull() && CBool(yes)) optOpDecideYes->setValue(true);
            else optOpDecideNo->setValue(true);
        }))
        return;
    mSecondaryDtaFindFirst(form<frmMETestSine>(), isTestName, true, obError);
    if (!obError) mOpDecideShow(true, obError);
}

void frmMETest::mDtaTestRepositionExtDist(const QString& isTestName, bool& obError) {
    mPointShowEnableFLoShow(false, false, false, obError);
    if (!obError) mSineSweepShow(false, obError);
    if (!obError) mOpDecideShow(false, obError);
    if (!obError) mSecondaryDtaFindFirst(form<frmMETestExtDistortion>(), isTestName, true, obError);
}

void frmMETest::mSecondaryDtaFindFirst(METestTypeForm& ioWindow, const QString& isTestName, bool ibSuppress,
                                       bool& obError) {
    ErrorTrap trap(kModule, "mSecondaryDtaFindFirst", obError);
    if (ibSuppress) gbMETestSecondaryDontProcess = true;
    trap(10, [&] {
        ioWindow.dtaTest.Recordset().FindFirst(QStringLiteral("Test_Name = ?"), Variant(isTestName));
        ioWindow.Show();
    });
    if (ibSuppress) gbMETestSecondaryDontProcess = false;
}

void frmMETest::mPointShowEnable(bool ibShow, bool ibEnable, bool& obError) {
    Q_UNUSED(obError);
    lblPoint->setVisible(ibShow);
    txtPoint->setVisible(ibShow);
    updPoint->setVisible(ibShow);
    txtPoint->setEnabled(ibEnable);
    updPoint->setEnabled(ibEnable);
}

void frmMETest::mFLoShow(bool ibShow, bool& obError) {
    Q_UNUSED(obError);
    lblFLo->setVisible(ibShow);
    txtFLo->setVisible(ibShow);
    updFLo->setVisible(ibShow);
}

void frmMETest::mPointShowEnableFLoShow(bool ibPointShow, bool ibPointEnable, bool ibLoShow, bool& obError) {
    mPointShowEnable(ibPointShow, ibPointEnable, obError);
    if (!obError) mFLoShow(ibLoShow, obError);
}

void frmMETest::mPointFLoShowEnable(bool ibPointShow, bool ibPointEnable, bool ibLoShow, bool ibLoEnable, bool& obError) {
    mPointShowEnableFLoShow(ibPointShow, ibPointEnable, ibLoShow, obError);
    if (obError) return;
    txtFLo->setEnabled(ibLoEnable);
    updFLo->setEnabled(ibLoEnable);
}

void frmMETest::mFHiShow(bool ibShow, bool& obError) {
    Q_UNUSED(obError);
    lblFHi->setVisible(ibShow);
    txtFHi->setVisible(ibShow);
    updFHi->setVisible(ibShow);
    const QString type = msTestType();
    if (type == QLatin1String("Sine")) cboSweepType->setEnabled(chkOpDecide->Value() == 1);
    else if (type == QLatin1String("Response")) cboSweepType->setEnabled(false);
}

void frmMETest::mFHiEnable(bool ibEnable, bool& obError) {
    Q_UNUSED(obError);
    txtFHi->setEnabled(ibEnable);
    updFHi->setEnabled(ibEnable);
}

void frmMETest::mShowDurationUpDownBothLogLin(bool ibShow, bool& obError) {
    Q_UNUSED(obError);
    lblDuration->setVisible(ibShow);
    txtDuration->setVisible(ibShow);
    lblSweepType->setVisible(ibShow);
    cboSweepType->setVisible(ibShow);
}

void frmMETest::mSineSweepShow(bool ibShow, bool& obError) {
    mFHiShow(ibShow, obError);
    if (!obError) mShowDurationUpDownBothLogLin(ibShow, obError);
}

void frmMETest::mDelayDriveActiveEnable(bool ibEnable, bool& obError) {
    Q_UNUSED(obError);
    txtDelay->setEnabled(ibEnable);
    txtDriveV->setEnabled(ibEnable);
    chkActive->setEnabled(ibEnable);
}

void frmMETest::mOpDecideShow(bool ibShow, bool& obError) {
    chkOpDecide->setVisible(ibShow);
    const QString type = msTestType();
    if (type == QLatin1String("Response")) {
        chkOpDecide->setEnabled(true);
        ibShow = false;
    } else if (type == QLatin1String("Sine")) {
        chkOpDecide->setEnabled(true);
        const bool d = chkOpDecide->Value() == 1;
        optOpDecideYes->setEnabled(d);
        optOpDecideNo->setEnabled(d);
        if (isLoaded<frmMETestSine>()) form<frmMETestSine>().gMETestSinePromptEnable(d, obError);
        if (!obError) gMETestEnableSweepTypeDuration(mbSineMeasureUnchecked(), obError);
    }
    fraOpDecide->setVisible(ibShow);
    optOpDecideYes->setVisible(ibShow);
    optOpDecideNo->setVisible(ibShow);
}

void frmMETest::gMETestEnableSweepTypeDuration(bool ibEnable, bool& obError) {
    Q_UNUSED(obError);
    cboSweepType->setEnabled(ibEnable);
    const bool e = ibEnable && cboSweepType->ListIndex() >= 1;
    txtFHi->setEnabled(msTestType() == QLatin1String("Response") ? true : e);
    updFHi->setEnabled(txtFHi->isEnabled());
    lblDuration->setEnabled(e);
    txtDuration->setEnabled(e);
}

void frmMETest::gMETestPolarityInitClsEtc(bool ibCls, bool& obError) {
    if (!isLoaded<frmMETestPolarity>()) return;
    ErrorTrap trap(kModule, "gMETestPolarityInitClsEtc", obError);
    PictureBox& pic = *form<frmMETestPolarity>().picPolarity;
    if (!trap(10, [&] {
            pic.Move(300, 100, 3325, 2550);
            if (ibCls) pic.Cls();
        }))
        return;
    gWavePolarityHiInitShowDraw(pic, 3325, 2550, obError);
}

void frmMETest::mSetUnlinkedDataResetEnabled(bool ibValue, bool& obError) {
    mbUnlinkedDataChanged = ibValue;
    mSetMnuResetEnabled(ibValue, obError);
}

void frmMETest::mSetMnuResetEnabled(bool ibValue, bool& obError) {
    Q_UNUSED(obError);
    mnuFileReset->setEnabled(ibValue);
    if (METestTypeForm* other = mLoadedSecondary()) other->mnuFileReset->setEnabled(ibValue);
}

void frmMETest::mMnuDeletePrintEnable(bool ibValue, bool& obError) {
    Q_UNUSED(obError);
    mnuFileDelete->setEnabled(ibValue);
    if (METestTypeForm* other = mLoadedSecondary()) {
        other->mnuFileDelete->setEnabled(ibValue);
        other->mnuFilePrint->setEnabled(mnuFilePrint->Enabled());
    }
}

void frmMETest::cboSweepType_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cboSweepType_Click", bError);
    // A single tone plays Low only: High is left as stored (raising it would
    // change a shown "No Sweep" test nobody edited).
    if (!mbSingleTone() && !trap(10, [&] {
            const int32_t raised = testfields::sweepRaisedHigh(static_cast<int32_t>(std::nearbyint(std::min(mdVal(*txtFLo), 1.0e9))),
                                                               static_cast<int32_t>(std::nearbyint(std::min(mdVal(*txtFHi), 1.0e9))));
            if (raised >= 0) txtFHi->setText(QString::number(raised));
        }))
        return;
    const QString type = msTestType();
    if (type == QLatin1String("Response")) mbForceReCal = true;
    else if (type == QLatin1String("Sine")) gMETestEnableSweepTypeDuration(mbSineMeasureUnchecked(), bError);
    if (!bError) mSetUnlinkedDataResetEnabled(true, bError);
}

void frmMETest::cboSweepType_KeyPress(int16_t& KeyAscii) {
    vbBeep();
    KeyAscii = 0;
}

void frmMETest::chkOpDecide_Click() {
    if (mbDontProcess) return;
    bool bError = false;
    const QString type = msTestType();
    // Type windows are reached only while loaded: during the data control's
    // refill no window of the new record exists yet.
    if (type == QLatin1String("Sine")) {
        if (chkOpDecide->Value() == 1 && isLoaded<frmMETestSine>()) form<frmMETestSine>().chkPCDecide->setValue(0);
        mOpDecideShow(true, bError);
    } else if (type == QLatin1String("Response") && isLoaded<frmMETestResponse>()) {
        form<frmMETestResponse>().gMETestResponseUpdateLayersHeight(bError);
    }
    if (!bError) mSetMnuResetEnabled(true, bError);
}

void frmMETest::optOpDecideNo_Click() {
    if (mbDontProcess) return;
    bool bError = false;
    mSetUnlinkedDataResetEnabled(true, bError);
}

void frmMETest::optOpDecideYes_Click() {
    if (mbDontProcess) return;
    bool bError = false;
    mSetUnlinkedDataResetEnabled(true, bError);
}

void frmMETest::chkFailExit_Click() {
    if (mbDontProcess) return;
    bool bError = false;
    mSetMnuResetEnabled(true, bError);
}

void frmMETest::dcboTest_Change() {
    if (mbDontProcess || !mbHasCurrent()) return;
    bool bError = false;
    ErrorTrap trap(kModule, "dcboTest_Change", bError);
    bool bRefused = false;
    trap(10, [&] {
        const QString text = dcboTest->Text();
        Recordset& rs = dtaTest.Recordset();
        if (text != CStr(rs.field(QStringLiteral("Test_Name")))) {
            gbTestSaveCancel = false;
            mFindTest(text);
            bRefused = gbTestSaveCancel;
        }
        const QString current = CStr(rs.field(QStringLiteral("Test_Name")));
        if (dcboTest->Text() != current) {
            FlagHold dontProcess(mbDontProcess);
            mShowTestName(current);
        }
    });
    // A box that refused the move keeps the focus: taking it would refuse again.
    if (!bRefused) dcboTest->SetFocusIfAble();
}

// Shows the name in the combo with its list entry selected, so that picking
// another entry later is a change of the selection.
void frmMETest::mShowTestName(const QString& isName) {
    const int i = dcboTest->findText(isName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0) dcboTest->setListIndex(i);
    dcboTest->setText(isName);
}

void frmMETest::dcboTest_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    if (KeyCode == 46) mnuFileDelete_Click();
}

void frmMETest::changeEvent(QEvent* iEvent) {
    Form::changeEvent(iEvent);
    if (iEvent->type() == QEvent::WindowStateChange && Loaded()) Form_Resize();
}

// The loaded type window follows the editor's window state (first of
// distortion, response, polarity, sine).
void frmMETest::Form_Resize() {
    if (gbFormResizing) return;
    FlagHold resizing(gbFormResizing);
    METestTypeForm* other = nullptr;
    if (isLoaded<frmMETestExtDistortion>()) other = &form<frmMETestExtDistortion>();
    else if (isLoaded<frmMETestResponse>()) other = &form<frmMETestResponse>();
    else if (isLoaded<frmMETestPolarity>()) other = &form<frmMETestPolarity>();
    else if (isLoaded<frmMETestSine>()) other = &form<frmMETestSine>();
    if (other != nullptr && other->WindowState() != WindowState()) other->setWindowState(WindowState());
}
