#include "supervisor/frmMPairMatch.h"
#include "common/ErrorTrap.h"
#include "common/modArrayLongMaxEntryLen.h"
#include "common/modStringTextWidthPad.h"
#include "common/modVarSystemParams.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Clock.h"
#include "platform/vb/Locale.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Printer.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "station/frmVexoView.h"
#include "supervisor/PairMatchMath.h"

namespace {
const char* kModule = "frmMPairMatch";
const QString kTitle = QStringLiteral("Pair Match");
}

void frmMPairMatch::cmdPairMatch_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "cmdPairMatch_Click", bError);
    QString serialFormat;
    if (!trap(10, [&] { lstPair->Clear(); })) return;
    // The size box is the batch read's count; a run needs two units of it at least.
    const int32_t size = mlBoxWhole(*txtBatchSize);
    const int32_t units = malSerial.empty() ? 0 : static_cast<int32_t>(malSerial.size()) - 1;
    if (size < 2 || size > units) {
        trap(15, [&] {
            gMsgBox(units < 2 ? QStringLiteral("Pair matching needs a batch of at least 2 curves")
                              : QStringLiteral("The batch size must be from 2 to ") + QString::number(units),
                    vbExclamation, kTitle);
        });
        return;
    }
    const int16_t width = gnArrayLongMaxEntryLen(malSerial, bError);
    if (bError) return;
    serialFormat = QString(width, QLatin1Char('0'));
    mnPairs = 0;
    lblMatched->setCaption(pairsMatchedText(0));
    PairMatchResult result;
    if (!trap(20, [&] {
            // The batch end is converted strictly: a text that is no number stops the run.
            const int32_t batchEnd = CLng(Variant(txtBatchEnd->Text()));
            result = pairMatchRun(mafCurve, malSerial, mnPoints, size, batchEnd, mfBoxNumber(*txtAveLim),
                                  mfBoxNumber(*txtWorstLim));
        }))
        return;
    mabMatched = result.matched;
    for (const PairMatchCycle& cycle : result.cycles) {
        if (!trap(30, [&] {
                QString line = QStringLiteral("Serial ") + Format(cycle.firstSerial, serialFormat);
                if (cycle.matched()) {
                    ++mnPairs;
                    line += QStringLiteral(" matched by serial ") + Format(cycle.partnerSerial, serialFormat);
                } else {
                    line += QStringLiteral(" NOT MATCHED");
                }
                bool bPadError = false;
                line = gsStringTextWidthPad(*this, line, 2700, bPadError);
                line += QStringLiteral("Average ") + Format(cycle.average, QStringLiteral("00.00")) +
                        QStringLiteral(" (dB)     Worst ") + Format(cycle.worst, QStringLiteral("00.00")) +
                        QStringLiteral(" (dB)");
                lstPair->AddItem(line);
            }))
            return;
    }
    trap(40, [&] {
        lblMatched->setCaption(pairsMatchedText(mnPairs));
        if (lstPair->ListCount() > 0) lstPair->setListIndex(lstPair->ListCount() - 1);
        mnuFilePrint->setEnabled(true);
        mnuFileDeleteMatched->setEnabled(mnPairs != 0);
    });
}

// Deletes the chosen model's curves: all of them, or those of the units the
// last run paired. Records are met in the order the batch read met them, so
// record i is unit i; a matched unit whose record holds another serial means
// the store changed since the read, and nothing more is deleted.
void frmMPairMatch::mDeleteCurves(bool ibOnlyMatched, bool& obError) {
    ErrorTrap trap(kModule, "mDeleteCurves", obError);
    const QString model = cboSeq->Text();
    const QString criteria = QStringLiteral("Model_Name = ?");
    if (!trap(10, [&] { lblMatched->setCaption(QString()); })) return;
    Recordset& rs = dtaCurve.Recordset();
    const Database db = rs.database();
    // One commit for the whole deletion rather than one wait for the disk per curve.
    if (!trap(15, [&] { db.BeginTrans(); })) return;
    bool found = false;
    trap(20, [&] { rs.FindFirst(criteria, model); found = !rs.NoMatch(); });
    size_t unit = 0;
    bool stopped = false;
    while (found && !rs.EOF_()) {
        ++unit;
        if (!trap(30, [&] {
                if (!ibOnlyMatched) {
                    rs.Delete();
                } else if (unit < mabMatched.size() && mabMatched[unit]) {
                    const Variant serial = rs.field(QStringLiteral("Serial_Number"));
                    if (unit >= malSerial.size() || serial.isNull() || CLng(serial) != malSerial[unit]) {
                        stopped = true;
                        return;
                    }
                    rs.Delete();
                }
            }))
            break;
        if (stopped) {
            trap(40, [&] {
                gMsgBox(QStringLiteral("The '") + model +
                            QStringLiteral("' curves have changed since they were read: no more are deleted"),
                        vbExclamation, kTitle);
            });
            obError = true;
            break;
        }
        if (!trap(50, [&] { rs.FindNext(criteria, model); found = !rs.NoMatch(); })) break;
    }
    // What was deleted stays deleted, also when the walk stopped early.
    if (!trap(55, [&] { db.CommitTrans(); })) {
        try {
            db.Rollback();
        } catch (const VbError&) {
        }
    }
    // Once for the whole deletion: a refresh costs as much as reading the store's keys.
    bool bRefreshError = false;
    ErrorTrap refresh(kModule, "mDeleteCurves", bRefreshError);
    refresh(60, [&] { gMainWindow().dtaCurve.Refresh(); });
    // The window follows the store: size, list and the next run see what is left.
    bool bReadError = false;
    mMatchedClear(bReadError);
    if (!bReadError) {
        trap(70, [&] {
            cmdPairMatch->setEnabled(false);
            mafCurve.values.clear();
            mafCurve.resize(0);
        });
        mBatchRead(bReadError);
    }
    if (bRefreshError || bReadError) obError = true;
}

void frmMPairMatch::mnuFileDeleteMatched_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileDeleteMatched_Click", bError);
    int answer = vbNo;
    if (!trap(10, [&] {
            answer = gMsgBox(QStringLiteral("Delete ONLY the matched '") + cboSeq->Text() + QStringLiteral("' curves?"),
                             vbYesNo + vbDefaultButton2, kTitle);
        }))
        return;
    if (answer != vbYes) return;
    mDeleteCurves(true, bError);
    if (!bError) mnuFileDeleteMatched->setEnabled(false);
}

void frmMPairMatch::mnuFileDeleteAll_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFileDeleteAll_Click", bError);
    int answer = vbNo;
    if (!trap(10, [&] {
            answer = gMsgBox(QStringLiteral("Delete ALL the '") + cboSeq->Text() + QStringLiteral("' curves?"),
                             vbYesNo + vbDefaultButton2, kTitle);
        }))
        return;
    if (answer != vbYes) return;
    mDeleteCurves(false, bError);
    if (!bError) mnuFileDeleteMatched->setEnabled(false);
}

void frmMPairMatch::mnuFilePrint_Click() {
    bool bError = false;
    ErrorTrap trap(kModule, "mnuFilePrint_Click", bError);
    const QString kept = Printer.FontName();
    if (!trap(10, [&] { Printer.setFontName(QStringLiteral("Arial")); })) return;
    const bool printed = trap(20, [&] {
        Printer.Print();
        Printer.Print();
        Printer.PrintNoLineEnd(QStringLiteral("Trabo Pair Match Report for "));
        Printer.Print(QLatin1Char('\'') + cboSeq->Text() + QLatin1Char('\''));
        Printer.Print();
        Printer.PrintNoLineEnd(QString::number(mnPairs) + QStringLiteral(" pair(s) matched from a batch of "));
        Printer.Print(txtBatchSize->Text());
        for (int32_t i = 0; i < lstPair->ListCount(); ++i) Printer.Print(lstPair->List(i));
        for (int i = 0; i < 4; ++i) Printer.Print();
        const double now = vclock::nowDays();
        Printer.Print(FormatDate(now, QStringLiteral("ddd")) + QLatin1Char(' ') +
                      FormatDate(now, QStringLiteral("Medium Date")) + QLatin1Char(' ') +
                      FormatDate(now, QStringLiteral("Short Time")) + QStringLiteral("    Station: ") + gsStationName);
        Printer.Print();
        Printer.Print();
    });
    if (printed) trap(30, [&] { Printer.EndDoc(); });
    else Printer.KillDoc();
    Printer.setFontName(kept);
}
