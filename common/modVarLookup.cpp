#include "common/modVarLookup.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "common/StationRecords.h"
#include "common/frmListGet.h"
#include "platform/data/DataControl.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"
#include "station/frmVexoView.h"
#include "test_editor/frmMETest.h"

namespace {
const char* kModule = "modVarLookup";
const QString kTestDb = QStringLiteral("Vexo_Tst.mdb");
const QString kSeqDb = QStringLiteral("Vexo_Seq.mdb");
}

void gVarReadTestNameList(QStringList& oasList, bool& obError) {
    ErrorTrap trap(kModule, "gVarReadTestNameList", obError);
    Database db;
    std::unique_ptr<Recordset> rs;
    if (!trap(10, [&] { db = OpenDatabase(kTestDb); rs = db.OpenRecordset(QStringLiteral("vexo_tst")); })) return;
    // A new station has no tests yet: that is an empty list, not an error.
    trap(20, [&] {
        QStringList names{QString()};
        if (rs->RecordCount() > 0) {
            rs->MoveLast();
            const long n = rs->RecordCount();
            rs->MoveFirst();
            for (long i = 1; i <= n && !rs->EOF_(); ++i) {
                names << CStr(rs->field(QStringLiteral("Test_Name")));
                rs->MoveNext();
            }
        }
        oasList = names;
    });
    rs.reset();
    db.Close();
}

void gVarSeqNoTestsMsgBox(const QString& isSeqName, bool& obError) {
    Q_UNUSED(obError);
    gMsgBox(QStringLiteral("Sequence '") + isSeqName + QStringLiteral("' contains No Tests!"), vbOKOnly,
            appinfo::productName());
}

void gVarSetSeqCal00(const QString& isSeqName, int16_t inSlot, bool& obError) {
    ErrorTrap trap(kModule, "gVarSetSeqCal00", obError);
    DataControl& cal = gMainWindow().dtaSeqCal;
    const QString table = QStringLiteral("vexo_seq_cal%1").arg(inSlot, 2, 10, QLatin1Char('0'));
    if (!trap(10, [&] { cal.setRecordSource(table); cal.Refresh(); })) return;
    bool missing = false;
    trap(20, [&] {
        cal.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), isSeqName);
        missing = cal.Recordset().NoMatch();
        // Acting on whatever row the search left current would write one
        // sequence's calibration into another's row.
        if (missing)
            vbRaise(vberr::kUserBase, QStringLiteral("Calibration row of sequence '") + isSeqName +
                                          QStringLiteral("' not found in ") + table);
    });
    // Ignore (the default for this error) shows the problem but never goes on with the wrong row.
    if (missing) obError = true;
}

bool gbVarFindSeqCalTestName(const QString& isSeqName, const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "gbVarFindSeqCalTestName", obError);
    for (int16_t slot = 1; slot <= 16; ++slot) {
        gVarSetSeqCal00(isSeqName, slot, obError);
        if (obError) return false;
        bool equal = false;
        if (!trap(10, [&] {
                const QString name = CalibrationRecord(gMainWindow().dtaSeqCal.Recordset()).Test_Name();
                bool err = false;
                equal = gsGTrim(name, err) == isTestName;
            }))
            return false;
        if (equal) return true;
    }
    return false;
}

void gVarSetSeqCalTestName(const QString& isSeqName, const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "gVarSetSeqCalTestName", obError);
    const bool bFound = gbVarFindSeqCalTestName(isSeqName, isTestName, obError);
    if (obError || bFound) return;
    trap(20, [&] {
        vbRaise(vberr::kUserBase, QStringLiteral("Calibration row of test '") + isTestName +
                                      QStringLiteral("' not found in sequence '") + isSeqName + QLatin1Char('\''));
    });
    obError = true;   // whatever the answer: the row of slot 16 is not this test's
}

void gVarTestDelete(const QString& isTestName, bool& obError) {
    ErrorTrap trap(kModule, "gVarTestDelete", obError);
    Database db;
    std::unique_ptr<Recordset> rs;
    if (!trap(10, [&] { db = OpenDatabase(kTestDb); rs = db.OpenRecordset(QStringLiteral("vexo_tst")); })) return;
    bool found = false;
    if (!trap(20, [&] {
            rs->FindFirst(QStringLiteral("Test_Name = ?"), isTestName);
            found = !rs->NoMatch() && CStr(rs->field(QStringLiteral("Test_Name"))) == isTestName;
        }))
        return;
    if (found) {
        if (!trap(30, [&] { rs->Delete(); })) return;
        trap(40, [&] { gMainWindow().dtaTest.Refresh(); });
    } else {
        gMsgBox(QStringLiteral("Test '") + isTestName + QStringLiteral("' not found"), vbExclamation,
                QStringLiteral("Deleting Test"));
    }
}

void gVarDeleteTestCrowbar(const QString& isTestName, bool& obError) {
    if (gMainWindow().gbTraboMETestLoaded) form<frmMETest>().gMETestDelete(isTestName, obError);
    else gVarTestDelete(isTestName, obError);
}

namespace {
void mTestInSeqFirstShow(bool& obError) {
    ErrorTrap trap(kModule, "mTestInSeqFirstShow", obError);
    vbBeep();
    trap(10, [&] {
        frmListGet& list = form<frmListGet>();
        list.cmdOK->setVisible(false);
        list.setCaption(QStringLiteral("Can't Delete!  Test in sequence(s) ..."));
        list.lstList->Clear();
        list.Show(vbModeless);
    });
}
}

bool gbVarTestInSequences(const QString& isTestName, bool ibShowList, bool& obError) {
    ErrorTrap trap(kModule, "gbVarTestInSequences", obError);
    Database db;
    std::unique_ptr<Recordset> rs;
    if (!trap(10, [&] { db = OpenDatabase(kSeqDb); rs = db.OpenRecordset(QStringLiteral("vexo_seq")); })) return false;
    int count = 0;
    bool failed = false;
    // A new station has no sequences yet: nothing uses the test.
    while (!failed && rs->RecordCount() > 0 && !rs->EOF_()) {
        bool match = false;
        QString seqName;
        if (!trap(20, [&] {
                const SequenceRecord seq(*rs);
                for (int slot = 1; slot <= 16 && !match; ++slot) match = seq.TestName(slot) == isTestName;
                if (match) seqName = seq.Seq_Name();
            })) {
            failed = true;
            break;
        }
        if (match) {
            ++count;
            if (ibShowList) {
                if (count == 1) {
                    mTestInSeqFirstShow(obError);
                    if (obError) { failed = true; break; }
                }
                if (!trap(30, [&] {
                        frmListGet& list = form<frmListGet>();
                        list.lstList->AddItem(seqName);
                        list.lstList->repaint();
                    })) {
                    failed = true;
                    break;
                }
            }
        }
        if (!trap(40, [&] { rs->MoveNext(); })) { failed = true; break; }
    }
    rs.reset();
    db.Close();
    if (!failed && !obError && count > 0 && ibShowList) trap(50, [&] { form<frmListGet>().Show(vbModal); });
    // The list window is released however the search ended.
    if (isLoaded<frmListGet>()) unload<frmListGet>();
    if (failed || obError) return false;
    return count > 0;
}
