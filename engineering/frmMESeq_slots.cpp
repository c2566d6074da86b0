// The test list: its four buttons, keys, the test picker and the button rules.
#include "common/ErrorTrap.h"
#include "common/frmListGet.h"
#include "common/modForm.h"
#include "common/modListRemoveEntry.h"
#include "common/modVarLookup.h"
#include "engineering/frmMESeq.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/KeyCodes.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"
#include "test_editor/frmMETest.h"

namespace {
const char* const kModule = "frmMESeq";
const QString kTypical = QStringLiteral("Typical");
const QString kAddTitle = QStringLiteral("Add Test to Sequence");
}

void frmMESeq::lstTest_Click() {
    bool bError = false;
    mShowTestListButtons(bError);
}

void frmMESeq::mShowTestListButtons(bool& obError) {
    ErrorTrap trap(kModule, "mShowTestListButtons", obError);
    trap(10, [&] {
        const bool bRecord = dtaSeq.Recordset().isOpen() && dtaSeq.Recordset().AbsolutePosition() >= 0;
        const QString name = msCurrentName();
        const int32_t count = lstTest->ListCount();
        const int32_t index = lstTest->ListIndex();
        cmdTestAdd->setEnabled(bRecord && count < 16 && name != kTypical);
        const bool bSelected = bRecord && index >= 0;
        cmdTestDel->setEnabled(bSelected && name != kTypical);
        cmdTestUp->setEnabled(bSelected && index >= 1);
        cmdTestDown->setEnabled(bSelected && index < count - 1);
    });
}

void frmMESeq::cmdTestAdd_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdTestAdd_Click", bError);
    bool bAgain = true;
    while (bAgain && !bError) {
        bAgain = false;
        // A sequence runs sixteen tests at most, however Add was reached.
        if (lstTest->ListCount() >= 16) {
            vbBeep();
            break;
        }
        const QString name = msGetTest(bError);
        if (bError || name.isEmpty()) break;
        if (name == kTypical) {
            trap(10, [&] {
                gMsgBox(QStringLiteral("You cannot use the test '") + kTypical + QLatin1Char('\''), vbOKOnly, kAddTitle);
            });
            bAgain = true;
            continue;
        }
        const bool bListed = mbTestInList(name, bError);
        if (bError) break;
        if (bListed) {
            trap(20, [&] { gMsgBox(QStringLiteral("Test ") + name + QStringLiteral(" already in sequence"), vbOKOnly, kAddTitle); });
            bAgain = true;
            continue;
        }
        mAddTest2Sequence(name, bError);
        if (bError) break;
        mShowTestListButtons(bError);
        if (!bError) mSetUnlinkedDataResetEnabled(true, bError);
    }
    bool bFocusError = false;
    ErrorTrap focusTrap(kModule, "cmdTestAdd_Click", bFocusError);
    focusTrap(30, [&] { lstTest->SetFocusIfAble(); });
}

QString frmMESeq::msGetTest(bool& obError) {
    QStringList names;
    gVarReadTestNameList(names, obError);
    if (obError) return QString();
    const QString chosen = frmListGet::gsListGet(names, kAddTitle, true, mlPickerPtr, obError);
    return obError ? QString() : chosen;
}

bool frmMESeq::mbTestInList(const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "mbTestInList", obError);
    bool bFound = false;
    trap(10, [&] {
        for (int32_t i = 0; i < lstTest->ListCount() && !bFound; ++i) bFound = lstTest->List(i) == isTestName;
    });
    return bFound;
}

void frmMESeq::mAddTest2Sequence(const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "mAddTest2Sequence", obError);
    QString type;
    if (!trap(10, [&] {
            const Database db = OpenDatabase(QStringLiteral("\\Vexo_Tst.mdb"));
            auto rs = db.OpenRecordset(QStringLiteral("vexo_tst"));
            rs->FindFirst(QStringLiteral("Test_Name = ?"), Variant(isTestName));
            if (rs->AbsolutePosition() >= 0) type = CStr(rs->field(QStringLiteral("Test_Type")));
            rs->Close();
        }))
        return;
    if (!trap(20, [&] {
            lstTest->AddItem(isTestName);
            lstTest->setListIndex(lstTest->ListCount() - 1);
        }))
        return;
    if (type == QStringLiteral("Response")) {
        mbForceRecal = true;
        mShowSweepPresent(obError);
    }
}

void frmMESeq::cmdTestDel_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdTestDel_Click", bError);
    QString name;
    if (!trap(10, [&] { name = lstTest->Text(); })) return;
    gListRemoveEntry(name, *lstTest, bError);
    if (bError) return;
    bool bResponse = false;
    if (!trap(20, [&] {
            Recordset& tests = gMainWindow().dtaTest.Recordset();
            tests.FindFirst(QStringLiteral("Test_Name = ?"), Variant(name));
            bResponse = !tests.NoMatch() && CStr(tests.field(QStringLiteral("Test_Type"))) == QStringLiteral("Response");
        }))
        return;
    if (bResponse) {
        mShowSweepPresent(bError);
        if (bError) return;
    }
    mShowTestListButtons(bError);
    if (bError) return;
    if (!trap(30, [&] { lstTest->SetFocusIfAble(); })) return;
    mSetUnlinkedDataResetEnabled(true, bError);
}

void frmMESeq::mSwapEntries(int32_t inFrom, int32_t inTo) {
    bool bError = false;
    ErrorTrap trap(kModule, "mSwapEntries", bError);
    if (!trap(10, [&] {
            const QString moved = lstTest->List(inFrom);
            lstTest->setList(inFrom, lstTest->List(inTo));
            lstTest->setList(inTo, moved);
            lstTest->setListIndex(inTo);
        }))
        return;
    mSetUnlinkedDataResetEnabled(true, bError);
}

void frmMESeq::cmdTestDown_Click() { mSwapEntries(lstTest->ListIndex(), lstTest->ListIndex() + 1); }
void frmMESeq::cmdTestUp_Click() { mSwapEntries(lstTest->ListIndex(), lstTest->ListIndex() - 1); }

// The test editor opens without a log-in: this editor being open proves it.
void frmMESeq::lstTest_DblClick() {
    bool bError = false;
    ErrorTrap trap(kModule, "lstTest_DblClick", bError);
    frmMETest* editor = nullptr;
    if (!trap(10, [&] { editor = &form<frmMETest>(); })) return;
    gFormShowRestore(*editor, bError);
    if (bError) return;
    trap(20, [&] { editor->dcboTest->setText(lstTest->ListIndex() >= 0 ? lstTest->Text() : QString()); });
}

void frmMESeq::lstTest_KeyDown(int16_t& KeyCode, int16_t Shift) {
    if (Shift == vbShiftMask) {
        if (KeyCode == vbKeyDown) {
            if (cmdTestDown->Enabled()) {
                cmdTestDown_Click();
                KeyCode = 0;
            }
        } else if (KeyCode == vbKeyUp) {
            if (cmdTestUp->Enabled()) {
                cmdTestUp_Click();
                KeyCode = 0;
            }
        }
    } else if (KeyCode == vbKeyDelete) {
        // Only while the button may: never the typical sequence's tests.
        if (cmdTestDel->Enabled()) cmdTestDel_Click();
    }
}

void frmMESeq::lstTest_KeyPress(int16_t& KeyAscii) {
    if (KeyAscii == vbKeyReturn) {
        if (lstTest->ListIndex() >= 0) lstTest_DblClick();
        else vbBeep();
        return;
    }
    vbBeep();
}
