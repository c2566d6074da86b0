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

ProductionRow rowOf(const Recordset& iRs) {
    ProductionRow r;
    r.sSeq = RTrim(CStr(iRs.field(kSeq)));
    r.dStart = startOf(iRs);
    r.dEnd = prodmath::dayValue(CStr(iRs.field(kEnd)));
    r.dPause = prodmath::dayValue(CStr(iRs.field(kPause)));
    r.nUnits = CInt(iRs.field(kUnits));
    r.nFails = CInt(iRs.field(kFails));
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
        if (rs.RecordCount() > 0) {
            // Rows are added in time order: today's are the last ones.
            rs.MoveLast();
            while (prodmath::sameDay(startOf(rs), dNow)) {
                rs.MovePrevious();
                if (rs.BOF()) {
                    rs.MoveFirst();
                    break;
                }
            }
            if (!prodmath::sameDay(startOf(rs), dNow)) rs.MoveNext();
            for (; !rs.EOF_(); rs.MoveNext()) tally.addRow(rowOf(rs), sSeqName, dNow);
        }
        tally.endRead(dNow);
        mTally = tally;
    });
}

void gMprFileWrite(bool& obError) {
    ErrorTrap trap(kModule, "gMprFileWrite", obError);
    trap(10, [&] {
        frmVexo& main = form<frmVexo>();
        const QString sSeqName = currentSeqName(main);
        ProductionRow row;
        if (!mTally.periodRow(vclock::nowDays(), sSeqName, row)) return;
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
