// The main window's start-up and shutdown, the More/Less Stuff view and the
// station label.
#include "station/frmVexo.h"
#include "audio/modDigitalIO.h"
#include "audio/modMixer.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/StationRecords.h"
#include "common/frmSplash.h"
#include "common/modDatabaseSchema.h"
#include "common/modGeneral.h"
#include "common/modMVarious.h"
#include "common/modTimeDate.h"
#include "common/modVarSystemParams.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Settings.h"
#include "platform/os/SingleInstance.h"
#include "platform/ui/Color.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/Printer.h"
#include "station/modProductionReport.h"
#include <QDir>

namespace {
constexpr const char* kModule = "frmVexo";
const QString kMoreStuff = QStringLiteral("More St&uff");
const QString kLessStuff = QStringLiteral("Less St&uff");
constexpr int32_t kRed = 255;
constexpr int32_t kYellow = 65535;
}

frmVexo::frmVexo() {
    mLayout();
    // The tables the data controls open (their design-time record sources).
    dtaSeq.setRecordSource(QStringLiteral("vexo_seq"));
    dtaSeqCal.setRecordSource(QStringLiteral("vexo_seq_cal01"));
    dtaTest.setRecordSource(QStringLiteral("vexo_tst"));
    dtaProdRep.setRecordSource(QStringLiteral("vexo_prod"));
    dtaOperator.setRecordSource(QStringLiteral("vexo_op"));
    dtaCurve.setRecordSource(QStringLiteral("vexo_crv"));
}

DrawSurface& frmVexo::windowSurface() { return formSurface(*this); }

frmVexoView& gMainWindow() { return form<frmVexo>(); }

bool gMainWindowLoaded() { return isLoaded<frmVexo>(); }

void frmVexo::Form_Load() {
    bool bError = false;
    // 1. One copy only: a second one brings the first forward and ends.
    mInstance = new SingleInstance(this);
    if (!mInstance->acquire()) {
        mbSecondCopy = true;
        gActivatePrevInstance(bError);
        EndProgram();
        return;
    }
    connect(mInstance, &SingleInstance::activateRequested, this, [this] { BringToFront(); });
    form<frmSplash>();                                   // 2. shown while the station starts
    gGStartUpSetStuff(bError);                           // 3.
    setCaption(gsMainCaption);                           // 4.
    lblSeq->setVisible(false);                           // 5.
    lblTest->setVisible(false);
    mabRespTestPass.assign(17, false);                   // 6.
    if (!bError) {                                       // 7.
        lblSerial->setCaption(QString());                // 8.
        lblTimeDate->setCaption(QString());
        // The clock may have ticked while the splash was painted: it shows again at once.
        tmrClock->setInterval(1);
        mFormLoadSetPath(bError);                        // 9.
        bool bSoundOK = false;
        if (!bError) bSoundOK = gbWaveInOutMixerThereInit(bError);   // 10.
        if (!bError) {
            // 11. The group runs whole; a failed sound check is no error. The
            // mixer is set only when the check found it: setting one it did not
            // find would turn that failed check into error boxes at every start.
            if (bSoundOK) {
                gMixerOutMasterSetVolume(65535, bError);
                gMixerInMasterSelectMic(bError);
            }
            gVOutGetSettingsValidate(bError);
            gVarSystemParamsRead(bError);
            mCardLabelInit(bSoundOK, bError);
            gDigInit(bError);
            mFormLoadDtaRefreshSet(bError);
        }
        if (!bError) {
            ErrorTrap trap(kModule, "Form_Load", bError);
            // 12. The view the operator left at the last shutdown.
            if (trap(120, [&] {
                    if (userSetting(QStringLiteral("cmdMoreStuff.Caption"), kMoreStuff) != cmdMoreStuff->Caption())
                        cmdMoreStuff_Click();
                }))
                trap(130, [&] { mnuFilePrint->setEnabled(!Printer.DeviceName().isEmpty()); });   // 13.
        }
    }
    // 14. Always: the window shown, the splash gone, Test ready for the operator.
    bool bShowError = false;
    ErrorTrap trap(kModule, "Form_Load", bShowError);
    trap(140, [&] {
        Show();
        unload<frmSplash>();
        cmdTest->SetFocusIfAble();
    });
}

void frmVexo::Form_Unload(int16_t& Cancel) {
    // A second copy ends without touching the first one's settings or mixer.
    if (mbSecondCopy) return;
    bool bError = false;
    gVarEngineerUnloadAll(bError);
    if (bError) {
        Cancel = 1;
        return;
    }
    gWaveOutClose(true, bError);
    // A unit counted whose production row could not be written then gets it now.
    gMprFileWrite(bError);
    gGetLocaleInfoSaveUserRegion(bError);
    ErrorTrap trap(kModule, "Form_Unload", bError);
    trap(10, [&] {
        // A start that failed before the choices were shown leaves them blank:
        // the stored ones stay for the next start.
        if (!dcboSeq->Text().isEmpty()) saveUserSetting(QStringLiteral("dcboSeq"), dcboSeq->Text());
        if (!dcboOperator->Text().isEmpty()) saveUserSetting(QStringLiteral("dcboOperator"), dcboOperator->Text());
        saveUserSetting(QStringLiteral("cmdMoreStuff.Caption"), cmdMoreStuff->Caption());
    });
    gMixerRestore(bError);
}

void frmVexo::tmrClock_Timer() {
    bool bError = false;
    gTimeDateShow(lblTimeDate, tmrClock, bError);
}

void frmVexo::mFormLoadSetPath(bool& obError) {
    ErrorTrap trap(kModule, "mFormLoadSetPath", obError);
    trap(10, [&] {
        gDatabaseSchemaRegister();
        const QString folder = appinfo::programFolder();
        QDir::setCurrent(folder);
        const QDir dir(folder);
        dtaSeq.setDatabaseName(dir.filePath(QStringLiteral("Vexo_Seq.mdb")));
        dtaSeqCal.setDatabaseName(dir.filePath(QStringLiteral("Vexo_Seq.mdb")));
        dtaTest.setDatabaseName(dir.filePath(QStringLiteral("Vexo_Tst.mdb")));
        dtaProdRep.setDatabaseName(dir.filePath(QStringLiteral("Vexo_Prod.mdb")));
        dtaOperator.setDatabaseName(dir.filePath(QStringLiteral("Vexo_Op.mdb")));
        dtaCurve.setDatabaseName(dir.filePath(QStringLiteral("Vexo_Crv.mdb")));
    });
}

void frmVexo::mCardLabelInit(bool ibSoundOK, bool& obError) {
    ErrorTrap trap(kModule, "mCardLabelInit", obError);
    trap(10, [&] {
        if (ibSoundOK) {
            lblCard->setCaption(cardLabelFromInfo(gsWaveInOutInfoShort));
        } else {
            cmdTest->setEnabled(false);
            cmdCali->setEnabled(false);
            lblCard->setCaption(QStringLiteral("Wave device not found"));
            lblCard->setForeColor(kRed);
            tmrFlash->setEnabled(true);
        }
        lblCard->setVisible(true);
    });
}

void frmVexo::mFormLoadDtaRefreshSet(bool& obError) {
    ErrorTrap trap(kModule, "mFormLoadDtaRefreshSet", obError);
    if (!trap(10, [&] {
            dtaCurve.Refresh();
            dtaProdRep.Refresh();
            dtaOperator.Refresh();
        }))
        return;
    if (!trap(20, [&] {
            dcboOperator->ReFill();
            dcboOperator->setText(userSetting(QStringLiteral("dcboOperator"), QStringLiteral("Unknown")));
            if (dcboOperator->Text().isEmpty()) dcboOperator->setText(QStringLiteral("Unknown"));
        }))
        return;
    if (!trap(30, [&] {
            dtaTest.Refresh();
            dtaSeqCal.Refresh();
        }))
        return;
    // The saved sequence becomes the current row, so that what the combo box
    // shows is what the station tests, counts and logs.
    if (!trap(40, [&] {
            FlagHold quiet(gbTraboDontProcess);
            dtaSeq.Refresh();
            Recordset& rs = dtaSeq.Recordset();
            if (rs.RecordCount() > 0) {
                const RecordBookmark first = rs.Bookmark();
                rs.FindFirst(QStringLiteral("Seq_Name = ?"),
                             Variant(userSetting(QStringLiteral("dcboSeq"), QStringLiteral("Small System"))));
                if (rs.NoMatch()) rs.setBookmark(first);
            }
        }))
        return;
    dtaSeq_Reposition();
    trap(50, [&] {
        Recordset& rs = dtaSeq.Recordset();
        const bool current = rs.RecordCount() > 0 && !rs.EOF_() && !rs.BOF();
        dcboSeq->setText(current ? SequenceRecord(rs).Seq_Name() : QString());
    });
}

void frmVexo::cmdMoreStuff_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdMoreStuff_Click", bError);
    bool bShow = false;
    if (!trap(10, [&] {
            bShow = cmdMoreStuff->Caption() == kMoreStuff;
            cmdMoreStuff->setCaption(bShow ? kLessStuff : kMoreStuff);
            cmdSupervisor->setVisible(bShow);
            cmdReport->setVisible(bShow);
            cmdEngineer->setVisible(bShow);
            lblRefSearch->setVisible(bShow);
            lblTarget->setVisible(bShow);
            // A warning on the card label stays in sight.
            const int32_t c = lblCard->ForeColor();
            if (c != kRed && c != kYellow) lblCard->setVisible(bShow);
        }))
        return;
    gNameStationLabel(gsStationName, bError);
    if (bError) return;
    trap(20, [&] {
        lblStation->setVisible(bShow);
        cmdWorst->setVisible(bShow && cmdWorst->Enabled());
    });
}

void frmVexo::gNameStationLabel(const QString& isStationName, bool& obError) {
    ErrorTrap trap(kModule, "gNameStationLabel", obError);
    trap(10, [&] { lblStation->setCaption(stationLabel(isStationName)); });
}
