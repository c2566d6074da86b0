// The label script of the selected sequence, read at each selection.
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/modFile.h"
#include "common/modGeneral.h"
#include "common/modStringParse.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"

namespace {
constexpr const char* kModule = "frmVexo";
}

bool frmVexo::mbScriptListRead(bool& obError) {
    ErrorTrap trap(kModule, "mbScriptListRead", obError);
    QString sFile;
    QString sSeq;
    // No sequence row (a new station, a row being added): no script.
    if (trap(10, [&] {
            const Recordset& rs = dtaSeq.Recordset();
            if (rs.RecordCount() > 0 && !rs.EOF_() && !rs.BOF() && rs.EditMode() != dbEditAdd) {
                sFile = SequenceRecord(rs).Script_File();
                sSeq = SequenceRecord(rs).Seq_Name();
            }
        }))
        sFile = gsGTrim(sFile, obError);
    bool bRead = false;
    QString sTold;
    if (!sFile.isEmpty() && !obError) {
        // A script named but not there would print no label without a word: it is
        // said once when the sequence is chosen, here, as a damaged one is; the
        // same sequence read again (its calibration stamped) says nothing new.
        const QString sKey = sSeq + QChar(0) + sFile;
        const bool bThere = sKey == msScriptMissingTold
                                ? gbFileExists(sFile, obError)
                                : gbFileExistsReportIfNot(sFile, QStringLiteral("frmVexo.mbScriptListRead"), obError);
        if (!bThere && !obError) sTold = sKey;
        QString sTitle;
        if (bThere && !obError &&
            trap(30, [&] { gFileReadDotArray(gsFileFoundPath(sFile), false, gasScriptList, sTitle); }))
            bRead = gasScriptList.size() > 1;
    }
    // Raw-character lines ("..@27 64 ") become their characters now, so that
    // printing only copies them. A line the platform refuses makes the whole
    // script no script: printing the rest would put its digits on every label.
    for (qsizetype i = 1; bRead && !obError && i < gasScriptList.size(); ++i) {
        if (!gasScriptList.at(i).startsWith(QLatin1String(".@"))) continue;
        const QString sCodes = LTrim(Mid(gasScriptList.at(i), 3));
        QString sChars;
        int16_t nPos = 1;
        bool bDone = false;
        trap(40, [&] {
            sChars.clear();
            nPos = 1;
            for (;;) {
                // A number is taken only when a blank follows it; past the end there is nothing more.
                if (nPos > Len(sCodes)) break;
                const QString sPiece = gsStringParse(sCodes, QStringLiteral(" "), nPos, obError);
                if (sPiece.isEmpty() || obError) break;
                sChars += Chr(CLng(Val(sPiece)));
            }
            bDone = true;
        });
        if (!bDone || obError) bRead = false;
        else gasScriptList[i] = QStringLiteral(".@") + sChars;
    }
    msScriptMissingTold = sTold;
    if (!bRead) gasScriptList = QStringList{QString()};
    return bRead;
}
