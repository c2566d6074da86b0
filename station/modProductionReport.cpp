#include "station/modProductionReport.h"
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/modFile.h"
#include "common/modTimeDate.h"
#include "common/modVarSystemParams.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Clock.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"
#include "station/ProductionMath.h"
#include "station/frmVexo.h"
#include <QDir>
#include <vector>

using prodmath::ProductionRow;

namespace {
const char* const kModule = "modProductionReport";

// Columns of the production table, used by position.
enum Column { kSeq = 0, kOperator, kStation, kStart, kEnd, kPause, kUnits, kFails };

prodmath::ProductionTally mTally;   // lives for the program's run

// A station without a sequence (a new one, a row being added) counts for none.
QString currentSeqName(frmVexo& iMain) {
    const Recordset& rs = iMain.dtaSeq.Recordset();
    if (rs.RecordCount() == 0 || rs.EOF_() || rs.BOF() || rs.EditMode() == dbEditAdd) return QString();
    return SequenceRecord(rs).Seq_Name();
}

double startOf(const Recordset& iRs) { return prodmath::dayValue(CStr(iRs.field(kStart))); }

ProductionRow rowOf(const Recordset& iRs, double idStart) {
    ProductionRow r;
    r.sSeq = RTrim(CStr(iRs.field(kSeq)));
    r.dStart = idStart;
    r.dEnd = prodmath::dayValue(CStr(iRs.field(kEnd)));
    r.dPause = prodmath::dayValue(CStr(iRs.field(kPause)));
    r.nUnits = prodmath::countValue(CStr(iRs.field(kUnits)));
    r.nFails = prodmath::countValue(CStr(iRs.field(kFails)));
    return r;
}
}

void gMprProdRep(bool& obError) {
    gMprFileRead(obError);
    if (!obError) gMprSummary(obError);
}

void gMprFileRead(bool& obError) {
    ErrorTrap trap(kModule, "gMprFileRead", obError);
    const QString sFile = QDir(appinfo::programFolder()).filePath(QStringLiteral("Vexo_Prod.mdb"));
    const bool bExists = gbFileExistsReportIfNot(sFile, QStringLiteral("gMprFileRead"), obError);
    if (obError || !bExists) return;
    trap(10, [&] {
        frmVexo& main = form<frmVexo>();
        const QString sSeqName = currentSeqName(main);
        const double dNow = vclock::nowDays();
        // Counted into a copy: an error halfway leaves the totals as they were.
        prodmath::ProductionTally tally = mTally;
        tally.beginRead();
        Recordset& rs = main.dtaProdRep.Recordset();
        // One read transaction for the whole walk, not a file lock per row.
        const Database db = rs.database();
        db.BeginTrans();
        struct End {
            const Database& db;
            ~End() {
                try {
                    db.CommitTrans();
                } catch (...) {
                }
            }
        } end{db};
        // Rows are added in time order: today's are the last ones, taken
        // walking back and counted in the order they were written.
        std::vector<ProductionRow> rows;
        // Emptiness without a count: a count would read every key of the table.
        if (!(rs.BOF() && rs.EOF_())) {
            for (rs.MoveLast(); !rs.BOF(); rs.MovePrevious()) {
                const double dStart = startOf(rs);
                if (!prodmath::sameDay(dStart, dNow)) break;
                rows.push_back(rowOf(rs, dStart));
            }
        }
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) tally.addRow(*it, sSeqName, dNow);
        tally.endRead(dNow);
        mTally = tally;
    });
}

void gMprFileWrite(bool& obError) {
    ErrorTrap trap(kModule, "gMprFileWrite", obError);
    trap(10, [&] {
        // With no unit counted since the last row the tables are not touched:
        // after a start that failed they were never opened.
        ProductionRow row;
        if (!mTally.periodRow(vclock::nowDays(), QString(), row)) return;
        frmVexo& main = form<frmVexo>();
        const QString sSeqName = currentSeqName(main);
        row.sSeq = sSeqName;
        Recordset& rs = main.dtaProdRep.Recordset();
        rs.AddNew();
        try {
            rs.setField(kSeq, Variant(sSeqName));
            rs.setField(kOperator, Variant(main.dcboOperator->Text()));
            rs.setField(kStation, Variant(gsStationName));
            rs.setField(kStart, Variant(prodmath::dayText(row.dStart)));
            rs.setField(kEnd, Variant(prodmath::dayText(row.dEnd)));
            rs.setField(kPause, Variant(prodmath::dayText(row.dPause)));
            rs.setField(kUnits, Variant(QString::number(row.nUnits)));
            rs.setField(kFails, Variant(QString::number(row.nFails)));
            rs.Update();
        } catch (...) {
            // No half-filled row stays pending for the next write.
            if (rs.EditMode() != dbEditNone) rs.CancelUpdate();
            throw;
        }
        mTally.rowWritten(row);
    });
    if (!obError) gMprSummary(obError);
}

void gMprInc(bool ibFailed, bool& obError) {
    ErrorTrap trap(kModule, "gMprInc", obError);
    bool bCounting = false;
    if (!trap(10, [&] { bCounting = form<frmVexo>().dcboOperator->Visible(); })) return;
    if (!bCounting) return;
    if (!trap(20, [&] { mTally.count(ibFailed, vclock::nowDays()); })) return;
    gMprSummary(obError);
}

void gMprSummary(bool& obError) {
    ErrorTrap trap(kModule, "gMprSummary", obError);
    const QString sMean = gsTimeDateMinsSecs(mTally.mdMeanPerUnit, QStringLiteral("mm"), 1, obError);
    if (obError) return;
    trap(10, [&] { form<frmVexo>().lblProdRep->setCaption(mTally.summaryHead() + sMean); });
}

void gMprReport(const QString& isSeqName, bool& obError) {
    ErrorTrap trap(kModule, "gMprReport", obError);
    trap(10, [&] { gMsgBox(QStringLiteral("Not available yet"), vbOKOnly, QStringLiteral("REPORT ") + isSeqName); });
}

void gMprPauseToggle(bool& obError) {
    ErrorTrap trap(kModule, "gMprPauseToggle", obError);
    trap(10, [&] {
        frmVexo& main = form<frmVexo>();
        if (main.dcboOperator->Visible()) {
            main.dcboOperator->setVisible(false);
            mTally.pauseOpen(vclock::nowDays());
        } else {
            main.dcboOperator->setVisible(true);
            mTally.pauseClose(vclock::nowDays());
        }
    });
}
