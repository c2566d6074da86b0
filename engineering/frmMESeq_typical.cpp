// Commands that reach beyond one sequence: deleting the tests no sequence
// uses, building the typical sequence and test, and handing over to the
// typical-unit window.
#include "common/ErrorTrap.h"
#include "common/FlagHold.h"
#include "common/StationRecords.h"
#include "common/WindowRegistry.h"
#include "common/frmMultiButton.h"
#include "common/frmPrompt.h"
#include "common/modGeneral.h"
#include "common/modVarLookup.h"
#include "engineering/TypicalLayerSpan.h"
#include "engineering/frmMESeq.h"
#include "engineering/frmMESys.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Twips.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"
#include "test_editor/frmMETest.h"
#include "test_editor/modMETestCopy.h"
#include <QDir>

namespace {
const char* const kModule = "frmMESeq";
const QString kTypical = QStringLiteral("Typical");
const QString kUnusedTitle = QStringLiteral("Delete Unused Tests");
const QString kMakeTitle = QStringLiteral("Make Typical");

void unloadPrompt() {
    if (isLoaded<frmPrompt>()) unload<frmPrompt>();
}
}

bool frmMESeq::mbSettledForCommand(bool ibUnloadTestEditor) {
    bool bError = false;
    ErrorTrap trap(kModule, "mbSettledForCommand", bError);
    if (!mbFocusedBoxAccepts()) return false;
    // The save question of the current sequence, as New asks it: the command
    // then sees what is stored. Cancel ends it.
    if (dtaSeq.Recordset().isOpen() && dtaSeq.Recordset().AbsolutePosition() >= 0) {
        mbMoveCancelled = false;
        if (!trap(10, [&] { dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(msCurrentName())); }))
            return false;
        if (mbMoveCancelled) return false;
    }
    if (ibUnloadTestEditor && !trap(20, [&] {
            if (gMainWindow().gbTraboMETestLoaded) unload<frmMETest>();
        }))
        return false;
    // A test editor that kept itself open (its own save question) ends the command.
    return !(ibUnloadTestEditor && gMainWindow().gbTraboMETestLoaded);
}

void frmMESeq::mnuFileDeleteUnusedTests_Click() {
    if (!mbSettledForCommand(true)) return;
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileDeleteUnusedTests_Click", bError);
    Database db;
    std::unique_ptr<Recordset> rs;
    bool bFound = false;
    bool bDeleted = false;
    if (trap(10, [&] {
            db = OpenDatabase(QDir(appinfo::programFolder()).filePath(QStringLiteral("Vexo_Tst.mdb")));
            rs = db.OpenRecordset(QStringLiteral("vexo_tst"));
            if (rs->RecordCount() > 0) rs->MoveFirst();
        })) {
        bool bAll = false;
        while (!bError) {
            bool bEnd = false;
            QString n;
            if (!trap(20, [&] {
                    bEnd = rs->EOF_();
                    if (!bEnd) n = CStr(rs->field(QStringLiteral("Test_Name")));
                }) || bEnd)
                break;
            n = gsGTrim(n, bError);
            if (bError) break;
            if (!n.isEmpty()) {
                const bool bUsed = gbVarTestInSequences(n, false, bError);
                if (bError) break;
                if (bUsed) {
                    frmPrompt::gDisplay(QStringLiteral("Test '") + n + QStringLiteral("' used"), kUnusedTitle, bError);
                } else {
                    bFound = true;
                    bool bYes = false;
                    if (!bAll) {
                        const QString letter = msDeleteUnusedTestsGetUserInput(n, bYes, bAll, bError);
                        if (bError) break;
                        // Esc and the close box answer "": as Cancel.
                        if (letter == QStringLiteral("C") || letter.isEmpty()) break;
                    }
                    if (bYes || bAll) {
                        frmPrompt::gDisplay(QStringLiteral("Deleting unused test '") + n + QLatin1Char('\''),
                                            kUnusedTitle, bError);
                        if (!bError && trap(30, [&] { rs->Delete(); })) bDeleted = true;
                    }
                }
            }
            if (!bError) trap(40, [&] { rs->MoveNext(); });
        }
    }
    bool bEndError = false;
    ErrorTrap endTrap(kModule, "mnuFileDeleteUnusedTests_Click", bEndError);
    endTrap(50, [&] {
        if (rs) rs->Close();
        db.Close();
        unloadPrompt();
        // The station and the test picker see what is left.
        if (bDeleted && gMainWindow().dtaTest.Recordset().isOpen()) gMainWindow().dtaTest.Refresh();
    });
    if (!bFound && !bError) endTrap(60, [&] { gMsgBox(QStringLiteral("No unused tests found"), vbOKOnly, kUnusedTitle); });
}

QString frmMESeq::msDeleteUnusedTestsGetUserInput(const QString& isTestName, bool& obYes, bool& obAll, bool& obError) {
    ErrorTrap trap(kModule, "msDeleteUnusedTestsGetUserInput", obError);
    int32_t left = 0;
    int32_t top = 0;
    if (!trap(10, [&] {
            unloadPrompt();
            const frmMultiButton& dialog = form<frmMultiButton>();
            left = (twips::screenWidth() - dialog.Width()) / 2;
            top = (twips::screenHeight() - dialog.Height()) / 2;
        }))
        return QString();
    const QStringList buttons{QString(), QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("Delete &All"),
                              QStringLiteral("&Cancel")};
    const QString letter = frmMultiButton::gsMultiButton(
        buttons, 2, QStringLiteral("Delete Unused Test '") + isTestName + QLatin1Char('\''), left, top, obError);
    if (obError) return letter;
    obYes = letter == QStringLiteral("Y");
    obAll = letter == QStringLiteral("A");
    return letter;
}

// The test the typical test is copied from: the one Main_Resp names when it is
// a response test, else the sequence's first response test; "" when none.
QString frmMESeq::msTypicalSourceTest(const QString& isMainResp, bool& obError) {
    ErrorTrap trap(kModule, "msTypicalSourceTest", obError);
    QString source;
    trap(10, [&] {
        Recordset& tests = gMainWindow().dtaTest.Recordset();
        const auto isResponse = [&](const QString& iName) {
            if (iName.isEmpty()) return false;
            tests.FindFirst(QStringLiteral("Test_Name = ?"), Variant(iName));
            return !tests.NoMatch() && CStr(tests.field(QStringLiteral("Test_Name"))) == iName &&
                   CStr(tests.field(QStringLiteral("Test_Type"))) == QStringLiteral("Response");
        };
        const QString main = isMainResp.trimmed();
        if (isResponse(main)) {
            source = main;
            return;
        }
        for (int32_t i = 0; i < lstTest->ListCount(); ++i)
            if (isResponse(lstTest->List(i).trimmed())) {
                source = lstTest->List(i).trimmed();
                return;
            }
    });
    return source;
}

void frmMESeq::mnuPairTypMakeTypical_Click() {
    if (!mbSettledForCommand(false)) return;
    bool bError = false;
    ErrorTrap trap(kModule, "mnuPairTypMakeTypical_Click", bError);
    QString s;
    QString m;
    if (!trap(10, [&] {
            s = msCurrentName();
            const Variant v = dtaSeq.Recordset().field(QStringLiteral("Main_Resp"));
            m = v.isNull() ? QString() : CStr(v);
        }))
        return;
    const QString source = msTypicalSourceTest(m, bError);
    if (bError) return;
    if (source.isEmpty()) {
        trap(15, [&] {
            gMsgBox(QStringLiteral("Sequence '") + s + QStringLiteral("' holds no response test"), vbExclamation,
                    kMakeTitle);
        });
        return;
    }
    // A sequence named "Typical" in other letters holds the name (names are
    // unique in any letter case) and is not the typical sequence: it is kept,
    // and nothing is made.
    QString other;
    if (!trap(17, [&] {
            const Database db = OpenDatabase(QDir(appinfo::programFolder()).filePath(QStringLiteral("Vexo_Seq.mdb")));
            auto rs = db.OpenRecordset(QStringLiteral("SELECT Seq_Name FROM vexo_seq WHERE Seq_Name = ? AND Seq_Name <> ? COLLATE BINARY"),
                                       {Variant(kTypical), Variant(kTypical)});
            if (!rs->EOF_()) other = CStr(rs->field(0));
        }))
        return;
    if (!other.isEmpty()) {
        trap(18, [&] {
            gMsgBox(QStringLiteral("The sequence '") + other + QStringLiteral("' holds the name ") + kTypical +
                        QStringLiteral(": save it under another name first"),
                    vbExclamation, kMakeTitle);
        });
        return;
    }
    mSetTypicalSeqParamsSave(s, bError);
    if (bError) return;
    mSetTypicalTestParamsSave(source, bError);
    if (bError) return;
    mDeleteTypicalFromCurve(bError);
    if (bError) return;
    if (!trap(20, [&] { dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(kTypical)); })) return;
    mRefreshTraboSeq(kTypical, bError);
    if (!bError) trap(30, [&] { dcboSeq->SetFocusIfAble(); });
}

void frmMESeq::mSetTypicalSeqParamsSave(const QString& isSourceSeqName, bool& obError) {
    ErrorTrap trap(kModule, "mSetTypicalSeqParamsSave", obError);
    {
        FlagHold dontProcess(mbDontProcess);
        bool bOld = false;
        trap(10, [&] {
            dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(kTypical));
            bOld = !dtaSeq.Recordset().NoMatch() && msCurrentName() == kTypical;
        });
        if (!obError && bOld) gMESeqDelete(obError);
        if (!obError) trap(20, [&] {
                dtaSeq.Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(isSourceSeqName));
                if (msCurrentName() != isSourceSeqName)
                    throw VbError(vberr::kInternalError,
                                  QStringLiteral("Sequence '") + isSourceSeqName + QStringLiteral("' not found"));
            });
    }
    if (obError) return;
    gMESeqSaveAs(kTypical, obError);
    if (obError) return;
    FlagHold dontProcess(mbDontProcess);
    mSetTypicalSeqParamsSaveWriteTypical(obError);
}

void frmMESeq::mSetTypicalSeqParamsSaveWriteTypical(bool& obError) {
    ErrorTrap trap(kModule, "mSetTypicalSeqParamsSaveWriteTypical", obError);
    if (!trap(10, [&] {
            const Database db = OpenDatabase(QDir(appinfo::programFolder()).filePath(QStringLiteral("Vexo_Seq.mdb")));
            QString sql = QStringLiteral(
                "UPDATE vexo_seq SET Target_File = '', Prompt_File = '', Script_File = '', Log_Disc = 'Pass', "
                "Serial_Flag = 'Pass', Ref_Search = 0, Ref_Lim = 0, Sel_Serial = 0, Sel_Lim = 0, Expansion1 = 0, "
                "Test_No = 1, Test_01 = 'Typical', Main_Resp = 'Typical'");
            for (int i = 2; i <= 16; ++i) sql += QStringLiteral(", Test_%1 = ''").arg(i, 2, 10, QLatin1Char('0'));
            // Exactly "Typical": a sequence named in other letters is another one.
            sql += QStringLiteral(" WHERE Seq_Name = ? COLLATE BINARY");
            db.Execute(sql, {Variant(kTypical)});
        }))
        return;
    FlagHold dontSave(mbDontSave);
    trap(20, [&] { dtaSeq.Refresh(); });
}

void frmMESeq::mSetTypicalTestParamsSave(const QString& isMainRespTestName, bool& obError) {
    ErrorTrap trap(kModule, "mSetTypicalTestParamsSave", obError);
    mDeleteTypicalTest(obError);
    if (obError) return;
    frmVexoView& main = gMainWindow();
    TypicalSpan span;
    // The span is read from the source itself, before the copy moves the record set.
    if (!trap(10, [&] {
            Recordset& rs = main.dtaTest.Recordset();
            rs.FindFirst(QStringLiteral("Test_Name = ?"), Variant(isMainRespTestName));
            if (rs.NoMatch() || CStr(rs.field(QStringLiteral("Test_Name"))) != isMainRespTestName)
                throw VbError(vberr::kInternalError, QStringLiteral("Test '") + isMainRespTestName + QStringLiteral("' not found"));
            std::array<Variant, 7> lim, lo, hi;
            for (int n = 1; n <= 6; ++n) {
                lim[n] = rs.field(layerField(n, "Lim"));
                lo[n] = rs.field(layerField(n, "fLo"));
                hi[n] = rs.field(layerField(n, "fHi"));
            }
            span = typicalLayerSpan(lim, lo, hi);
        }))
        return;
    const bool bCopied = gbMETestCopy(isMainRespTestName, kTypical, obError);
    if (obError) return;
    if (!bCopied) {
        obError = true;
        return;
    }
    if (!trap(20, [&] {
            Recordset& rs = main.dtaTest.Recordset();
            rs.FindFirst(QStringLiteral("Test_Name = ?"), Variant(kTypical));
            if (rs.NoMatch() || CStr(rs.field(QStringLiteral("Test_Name"))) != kTypical)
                throw VbError(vberr::kInternalError, QStringLiteral("Test 'Typical' not found"));
            rs.Edit();
            rs.setField(layerField(1, "On"), Variant(int16_t(1)));
            rs.setField(layerField(1, "Pt#"), Variant(int16_t(1)));
            rs.setField(layerField(1, "fLo"), Variant(int32_t(span.lo)));
            rs.setField(layerField(1, "fMLo"), Variant(int32_t(0)));
            rs.setField(layerField(1, "fMHi"), Variant(int32_t(0)));
            rs.setField(layerField(1, "fHi"), Variant(int32_t(span.hi)));
            rs.setField(layerField(1, "Lim"), Variant(6.0f));
            for (int n = 2; n <= 6; ++n) rs.setField(layerField(n, "On"), Variant(int16_t(0)));
            rs.Update();
        }))
        return;
    if (main.gbTraboMETestLoaded) form<frmMETest>().gMETestRefresh(false, obError);
}

void frmMESeq::mDeleteTypicalFromCurve(bool& obError) {
    ErrorTrap trap(kModule, "mDeleteTypicalFromCurve", obError);
    // One statement over the stored rows, through the editor's curve control's
    // database, so curves logged since the window opened go too; only the exact
    // model name "Typical" is the typical batch. The control is not re-read:
    // nothing else reads it, and a record gone since is passed over by its moves.
    trap(10, [&] {
        const Database db = dtaCrv.Recordset().database();
        db.BeginTrans();
        try {
            // The first test takes the model index (which ignores case), the second keeps the exact name.
            db.Execute(QStringLiteral("DELETE FROM vexo_crv WHERE Model_Name = ? AND Model_Name = ? COLLATE BINARY"),
                       {Variant(kTypical), Variant(kTypical)});
            db.CommitTrans();
        } catch (...) {
            db.Rollback();
            throw;
        }
    });
}

void frmMESeq::mnuPairTypDoTypical_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuPairTypDoTypical_Click", bError);
    bool bClosed = false;
    if (!trap(10, [&] {
            frmVexoView& main = gMainWindow();
            if (main.gbTraboMETestLoaded) unload<frmMETest>();
            if (main.gbTraboMESysLoaded) unload<frmMESys>();
            bClosed = !main.gbTraboMETestLoaded && !main.gbTraboMESysLoaded;
        }) || !bClosed)
        return;
    if (!trap(20, [&] { Hide(); })) return;
    trap(30, [&] { gWindowForm(WindowKind::Typical).Show(vbModal); });
    bool bShowError = false;
    ErrorTrap showTrap(kModule, "mnuPairTypDoTypical_Click", bShowError);
    showTrap(40, [&] {
        Show();
        if (isVisible() && isEnabled()) activateWindow();
    });
}
