#include "supervisor/frmMPairMatch.h"
#include "common/ErrorTrap.h"
#include "common/WindowRegistry.h"
#include "common/frmAbout.h"
#include "common/modControlCbo.h"
#include "common/modGeneral.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Settings.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/Strings.h"
#include <QSet>
#include "station/frmVexoView.h"

namespace {
const char* kModule = "frmMPairMatch";

// The four parameters: settings key suffix, box and default, in the order they are read and written.
struct Parameter {
    const char* key;
    TextBox* frmMPairMatch::*box;
    float fallback;
};
const Parameter kParameters[] = {
    {".txtBatchStart", &frmMPairMatch::txtBatchStart, 40.0f},
    {".txtBatchEnd", &frmMPairMatch::txtBatchEnd, 10.0f},
    {".txtWorstLim", &frmMPairMatch::txtWorstLim, 1.44f},
    {".txtAveLim", &frmMPairMatch::txtAveLim, 0.38f},
};
}

frmMPairMatch::frmMPairMatch() : Form(QStringLiteral("frmMPairMatch")) {
    mLayout();
    setCaption(QStringLiteral("Pair Match"));
    // The defaults' texts until saved values are read (none are while the region has changed).
    for (const Parameter& p : kParameters) (this->*p.box)->setText(Format(p.fallback, QStringLiteral("General Number")));
    for (Control* c : std::initializer_list<Control*>{lblBatchStart, txtBatchStart, updBatchStart, lblBatchEnd, txtBatchEnd,
                                                      updBatchEnd, lblAveLim, txtAveLim, lblWorstLim, txtWorstLim})
        c->widget()->setEnabled(false);

    mRuleBatchStart = {.box = txtBatchStart, .module = kModule, .whole = true,
                       .min = [this] { return mfBoxNumber(*txtBatchEnd) + 2.0f; }, .max = [] { return 999.0f; }};
    mRuleBatchEnd = {.box = txtBatchEnd, .module = kModule, .whole = true, .min = [] { return 0.0f; },
                     .max = [this] { return mfBoxNumber(*txtBatchStart) - 2.0f; }};
    mRuleAveLim = {.box = txtAveLim, .module = kModule, .min = [] { return 0.1f; },
                   .max = [this] { return mfBoxNumber(*txtWorstLim) - 0.1f; }, .step = [] { return 0.1f; },
                   .keyFormat = [] { return QStringLiteral("0.0"); }, .units = QStringLiteral("dB")};
    mRuleWorstLim = {.box = txtWorstLim, .module = kModule, .min = [this] { return mfBoxNumber(*txtAveLim) + 0.1f; },
                     .max = [] { return 9.9f; }, .step = [] { return 0.1f; }, .units = QStringLiteral("dB")};
    for (const NumberBoxRule* rule : {&mRuleBatchStart, &mRuleBatchEnd, &mRuleAveLim, &mRuleWorstLim})
        gNumberBoxBind(*rule);
}

void frmMPairMatch::Form_Load() {
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Load", bError);
    frmVexoView& main = gMainWindow();
    main.gbTraboMPairMatchLoaded = true;
    mParametersRead(bError);
    bError = false;
    if (!trap(30, [&] {
            dtaCurve.setDatabaseName(appinfo::programFolder() + QStringLiteral("\\Vexo_Crv.mdb"));
            dtaCurve.setRecordSource(QStringLiteral("vexo_crv"));
            dtaCurve.Refresh();
        }))
        return;
    mCboModelFill(bError);
    if (bError) return;
    QString name;
    if (!trap(50, [&] {
            if (main.gbTraboMESeqLoaded) {
                bool bEnableError = false;
                mEngineerCtrlsEnable(true, bEnableError);
            }
            // The sequence editor's own combo names the model while it is open.
            name = main.gbTraboMESeqLoaded ? gWindowSelected(WindowKind::SequenceEditor) : main.dcboSeq->Text();
        }))
        return;
    int16_t index = 0;
    bool bFindError = false;
    const bool found = gbCtrlCboListFindString(*cboSeq, name, index, bFindError);
    if (bFindError) return;
    if (found) {
        trap(60, [&] { cboSeq->setListIndex(index); });
    } else {
        trap(70, [&] {
            gMsgBox(QStringLiteral("No curve data for '") + name + QLatin1Char('\''), vbExclamation + vbOKOnly,
                    QStringLiteral("Pair Matching"));
            cboSeq->setListIndex(-1);
        });
    }
}

void frmMPairMatch::Form_Unload(int16_t& Cancel) {
    Q_UNUSED(Cancel);
    bool bError = false;
    ErrorTrap trap(kModule, "Form_Unload", bError);
    mParametersWrite(bError);
    // At shutdown the main window may be gone already; it is not made again for this.
    if (!gMainWindowLoaded()) return;
    trap(20, [&] {
        frmVexoView& main = gMainWindow();
        main.setInputEnabled(true);
        main.gbTraboMPairMatchLoaded = false;
    });
}

void frmMPairMatch::mParametersRead(bool& obError) {
    ErrorTrap trap(kModule, "mParametersRead", obError);
    if (gbUserRegionChanged) return;
    for (const Parameter& p : kParameters) {
        const QString text = gsGGetSettingValidNumber(Name() + QLatin1String(p.key), p.fallback, obError);
        if (obError) return;
        if (!trap(10, [&] { (this->*p.box)->setText(text); })) return;
    }
}

void frmMPairMatch::mParametersWrite(bool& obError) {
    ErrorTrap trap(kModule, "mParametersWrite", obError);
    for (const Parameter& p : kParameters)
        if (!trap(10, [&] { saveUserSetting(Name() + QLatin1String(p.key), (this->*p.box)->Text()); })) return;
}

// Each model once, by its first spelling, in order of first appearance, without the typical batch.
void frmMPairMatch::mCboModelFill(bool& obError) {
    ErrorTrap trap(kModule, "mCboModelFill", obError);
    trap(10, [&] {
        // The names as the table tells them apart (case-blind), each by its first
        // record, from the name index: a walk over every curve record would cost
        // as much as the store is large. Blanks and non-ASCII letter case the
        // table does not fold are folded here.
        const Database db = OpenDatabase(dtaCurve.DatabaseName(), false, true);
        const QList<Variant> names = db.DistinctValues(QStringLiteral("vexo_crv"), QStringLiteral("Model_Name"));
        QSet<QString> seen;
        cboSeq->Clear();
        for (const Variant& v : names) {
            bool bError = false;
            const QString name = gsGTrim(CStr(v), bError);
            if (name.isEmpty()) continue;
            const QString key = UCase(name);
            if (key != QStringLiteral("TYPICAL") && !seen.contains(key)) {
                seen.insert(key);
                cboSeq->AddItem(name);
            }
        }
    });
}

void frmMPairMatch::mEngineerCtrlsEnable(bool ibEnabled, bool& obError) {
    ErrorTrap trap(kModule, "mEngineerCtrlsEnable", obError);
    trap(10, [&] {
        for (Control* c : std::initializer_list<Control*>{lblBatchStart, txtBatchStart, updBatchStart, lblBatchEnd,
                                                          txtBatchEnd, updBatchEnd, lblAveLim, txtAveLim, lblWorstLim,
                                                          txtWorstLim})
            c->widget()->setEnabled(ibEnabled);
    });
}

void frmMPairMatch::mMatchedClear(bool& obError) {
    ErrorTrap trap(kModule, "mMatchedClear", obError);
    trap(10, [&] {
        lstPair->Clear();
        lblMatched->setCaption(QString());
        mnuFileDeleteMatched->setEnabled(false);
        mnuFilePrint->setEnabled(false);
    });
}

void frmMPairMatch::mRefillLstPair(bool& obError) {
    ErrorTrap trap(kModule, "mRefillLstPair", obError);
    trap(10, [&] {
        if (lstPair->ListCount() != 0 || malSerial.size() < 2) return;
        for (size_t u = 1; u < malSerial.size(); ++u) lstPair->AddItem(QStringLiteral("Serial ") + QString::number(malSerial[u]));
    });
}

void frmMPairMatch::cboSeq_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cboSeq_Click", bError);
    mMatchedClear(bError);
    if (bError) return;
    if (!trap(20, [&] {
            cmdPairMatch->setEnabled(false);
            mnuFilePrint->setEnabled(false);
            mnuFileDeleteMatched->setEnabled(false);
            mafCurve.values.clear();
            mafCurve.resize(0);
            lblMatched->setCaption(QString());
        }))
        return;
    mBatchRead(bError);
}

// Reads the chosen model's batch into the window, as choosing the model and each deletion do.
void frmMPairMatch::mBatchRead(bool& obError) {
    ErrorTrap trap(kModule, "mBatchRead", obError);
    bool bReadError = false;
    int16_t count = 0;
    if (!trap(10, [&] { count = gnVarReadBatch(true, cboSeq->Text(), mafCurve, malSerial, mnPoints, bReadError); }))
        return;
    mabMatched.clear();
    if (count == 0) {
        // The read leaves its outputs alone then: no serials of another model may stay behind.
        malSerial.clear();
        mafCurve.values.clear();
        mafCurve.resize(0);
        mnPoints = 0;
    }
    if (!trap(20, [&] {
            const QString size = QString::number(count);
            // An unchanged text raises no Change, yet the size rule must judge the new batch.
            if (txtBatchSize->Text() == size) txtBatchSize_Change();
            else txtBatchSize->setText(size);
        }))
        return;
    if (bReadError) {
        obError = true;
        return;
    }
    if (count == 0) return;
    trap(30, [&] {
        lstPair->Clear();
        for (int u = 1; u <= count; ++u)
            lstPair->AddItem(QStringLiteral("Serial ") + QString::number(malSerial[static_cast<size_t>(u)]));
    });
}

void frmMPairMatch::cboSeq_KeyDown(int16_t& KeyCode, int16_t Shift) {
    Q_UNUSED(Shift);
    bool bError = false;
    KeyCode = gnCtrlCboNudge(KeyCode, *cboSeq, bError);
}

void frmMPairMatch::cmdExit_Click() { unload<frmMPairMatch>(); }

void frmMPairMatch::mnuFileSelect_Click() { cboSeq->SetFocusIfAble(); }

void frmMPairMatch::mnuHelpHelp_Click() {
    bool bError = false;
    gGShowHelp(static_cast<int32_t>(winId()), bError);
}

void frmMPairMatch::mnuHelpAbout_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuHelpAbout_Click", bError);
    trap(10, [&] { form<frmAbout>().Show(vbModal); });
}
