// The label printed after each unit from the sequence's label script.
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Clock.h"
#include "platform/ui/Beep.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/Printer.h"
#include "platform/vb/Strings.h"
#include "station/LabelScript.h"
#include "station/frmVexo.h"
#include "station/modMSub.h"

namespace {
constexpr const char* kModule = "modMSub";

// The text one control code prints for the unit just tested, read from the main
// window: the current sequence, the operator and the sound-card label.
QString msProcessScriptNotControlCode(QString isCommand, bool& obError) {
    ErrorTrap trap(kModule, "msProcessScriptNotControlCode", obError);
    QString sText;
    trap(10, [&] {
        frmVexo& f = form<frmVexo>();
        const Recordset& rs = f.dtaSeq.Recordset();
        LabelUnit unit;
        unit.sSeqName = SequenceRecord(rs).Seq_Name();
        unit.vSerialNo = rs.field(QStringLiteral("Serial_No"));
        unit.sOperator = f.dcboOperator->Text();
        unit.sCard = f.lblCard->Caption();
        unit.dNow = vclock::nowDays();
        const LabelCodeText code = labelCodeText(isCommand, unit);
        if (code.bBeep) vbBeep();
        sText = code.sText;
    });
    return sText;
}
}   // namespace

QStringList gasScriptList{QString()};

void gMSubProcessScript(bool& obError) {
    ErrorTrap trap(kModule, "gMSubProcessScript", obError);
    QByteArray bytes;
    const qsizetype n = gasScriptList.size() - 1;
    for (qsizetype i = 1; i <= n; ++i) {
        const QString& entry = gasScriptList.at(i);
        QString sText;
        if (entry.startsWith(QLatin1Char('.'))) {
            // LPT is tested as written: "..lpt1" is an unknown code, which prints nothing too.
            const QString command = Trim(entry.mid(1));
            if (command.startsWith(QLatin1String("LPT"))) {
            } else if (command.startsWith(QLatin1Char('@'))) {
                sText = command.mid(1);
            } else {
                sText = msProcessScriptNotControlCode(command, obError);
            }
        } else {
            sText = entry;
        }
        if (obError) break;
        // Characters of raw lines come back as the bytes they were made from.
        bytes += toAnsi(sText);
        vbBeep();
    }
    // Every unit ends its document once, also after an error; an empty label is
    // no job, so a sequence without a script wastes no label.
    if (!bytes.isEmpty()) trap(30, [&] { gPrinterRawJob(bytes, appinfo::title()); });
}
