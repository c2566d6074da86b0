#include "tests/support/RecordBuilders.h"
#include "common/StationRecords.h"
#include "common/modDatabaseSchema.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/vb/Variant.h"

namespace seed {
namespace {
Database open(const QString& iFile) {
    gDatabaseSchemaRegister();
    return OpenDatabase(iFile);
}

// A new test row: its name, its type and what every type has.
std::unique_ptr<Recordset> newTest(const QString& iName, const QString& iType, float iDrive, bool iExit) {
    auto rs = open(QStringLiteral("Vexo_Tst.mdb")).OpenRecordset(QStringLiteral("vexo_tst"));
    rs->AddNew();
    rs->setField(QStringLiteral("Test_Name"), iName);
    rs->setField(QStringLiteral("Test_Type"), iType);
    rs->setField(QStringLiteral("Drive_V"), iDrive);
    rs->setField(QStringLiteral("Exit_Flag"), iExit);
    return rs;
}
}

void add(const ResponseTest& iTest) {
    auto rs = newTest(iTest.name, QStringLiteral("Response"), iTest.drive, iTest.exitOnFail);
    rs->setField(QStringLiteral("fLo_Hz"), iTest.fLo);
    rs->setField(QStringLiteral("fHi_Hz"), iTest.fHi);
    rs->setField(QStringLiteral("Swp_Point"), iTest.points);
    rs->setField(QStringLiteral("Delay_s"), iTest.delay);
    rs->setField(QStringLiteral("Active_Flag"), iTest.active);
    rs->setField(QStringLiteral("Op_Decide"), iTest.opDecide);
    for (size_t i = 0; i < iTest.layers.size() && i < 6; ++i) {
        const Layer& l = iTest.layers[i];
        const QString p = QStringLiteral("Layer%1_").arg(i + 1);
        rs->setField(p + QStringLiteral("On"), int16_t{1});
        rs->setField(p + QStringLiteral("fLo"), l.fLo);
        rs->setField(p + QStringLiteral("fMLo"), l.fMLo);
        rs->setField(p + QStringLiteral("fMHi"), l.fMHi);
        rs->setField(p + QStringLiteral("fHi"), l.fHi);
        rs->setField(p + QStringLiteral("Pt#"), l.pt);
        rs->setField(p + QStringLiteral("Lim"), l.lim);
    }
    rs->Update();
}

void add(const PolarityTest& iTest) {
    auto rs = newTest(iTest.name, QStringLiteral("Polarity"), iTest.drive, iTest.exitOnFail);
    rs->setField(QStringLiteral("P_Neg_Flag"), iTest.negative);
    rs->setField(QStringLiteral("Pulse_LF"), iTest.pulseLF);
    rs->Update();
}

void add(const SineTest& iTest) {
    auto rs = newTest(iTest.name, QStringLiteral("Sine"), iTest.drive, iTest.exitOnFail);
    rs->setField(QStringLiteral("fLo_Hz"), iTest.fLo);
    rs->setField(QStringLiteral("fHi_Hz"), iTest.fHi);
    rs->setField(QStringLiteral("Swp_Type"), iTest.sweep);
    rs->setField(QStringLiteral("SwpDur_s"), iTest.duration);
    rs->setField(QStringLiteral("Delay_s"), iTest.delay);
    rs->setField(QStringLiteral("Op_Decide"), iTest.opDecide);
    rs->setField(QStringLiteral("Op_DecideY"), iTest.opDecideY);
    rs->setField(QStringLiteral("PC_Decide"), iTest.pcDecide);
    rs->setField(QStringLiteral("fLo_Lim"), iTest.loLim);
    rs->setField(QStringLiteral("fHi_Lim"), iTest.hiLim);
    if (!iTest.prompt.isEmpty()) rs->setField(QStringLiteral("Op_Prompt"), iTest.prompt);
    rs->Update();
}

void add(const PlainTest& iTest) {
    auto rs = open(QStringLiteral("Vexo_Tst.mdb")).OpenRecordset(QStringLiteral("vexo_tst"));
    rs->AddNew();
    rs->setField(QStringLiteral("Test_Name"), iTest.name);
    rs->setField(QStringLiteral("Test_Type"), iTest.type);
    rs->setField(QStringLiteral("fLo_Hz"), iTest.fLo);
    rs->setField(QStringLiteral("fHi_Hz"), iTest.fHi);
    rs->setField(QStringLiteral("Swp_Point"), iTest.points);
    rs->setField(QStringLiteral("SwpDur_s"), iTest.duration);
    rs->setField(QStringLiteral("Delay_s"), iTest.delay);
    rs->setField(QStringLiteral("Drive_V"), iTest.drive);
    // The one field of a distortion test its window refuses empty.
    if (iTest.type == QLatin1String("Ext Dist")) rs->setField(QStringLiteral("fHi_Lim"), iTest.distLimit);
    rs->Update();
}

void add(const Sequence& iSequence) {
    const Database db = open(QStringLiteral("Vexo_Seq.mdb"));
    auto seq = db.OpenRecordset(QStringLiteral("vexo_seq"));
    seq->AddNew();
    seq->setField(QStringLiteral("Seq_Name"), iSequence.name);
    seq->setField(QStringLiteral("Test_No"), static_cast<int16_t>(iSequence.tests.size()));
    for (int i = 0; i < iSequence.tests.size(); ++i)
        if (!iSequence.tests[i].isEmpty()) seq->setField(SequenceRecord::slotField(i + 1), iSequence.tests[i]);
    seq->setField(QStringLiteral("Cali_ETime"), iSequence.calInterval);
    seq->setField(QStringLiteral("Last_Cali"), Variant::date(iSequence.lastCal));
    seq->setField(QStringLiteral("Ref_Lim"), iSequence.refLim);
    seq->setField(QStringLiteral("Sel_Lim"), iSequence.selLim);
    seq->setField(QStringLiteral("Serial_No"), iSequence.serial);
    seq->setField(QStringLiteral("Serial_Flag"), iSequence.serialFlag);
    seq->setField(QStringLiteral("Log_Disc"), iSequence.logDisc);
    if (!iSequence.target.isEmpty()) seq->setField(QStringLiteral("Target_File"), iSequence.target);
    if (!iSequence.prompt.isEmpty()) seq->setField(QStringLiteral("Prompt_File"), iSequence.prompt);
    if (!iSequence.script.isEmpty()) seq->setField(QStringLiteral("Script_File"), iSequence.script);
    seq->Update();
    for (int slot = 1; slot <= 16; ++slot) {
        auto cal = db.OpenRecordset(QStringLiteral("vexo_seq_cal%1").arg(slot, 2, 10, QLatin1Char('0')));
        cal->AddNew();
        cal->setField(QStringLiteral("Seq_Name"), iSequence.name);
        cal->setField(QStringLiteral("Test_Name"), iSequence.calTests.value(slot - 1, QStringLiteral(" ")));
        cal->setField(QStringLiteral("AttIn"), iSequence.micLevels.value(slot - 1, 0));
        cal->Update();
    }
}

void completeTests() {
    const Database db = open(QStringLiteral("Vexo_Tst.mdb"));
    db.Execute(QStringLiteral(
        "UPDATE vexo_tst SET fLo_Hz = COALESCE(fLo_Hz, 20), fHi_Hz = COALESCE(fHi_Hz, 60), "
        "Swp_Point = COALESCE(Swp_Point, 40), SwpDur_s = COALESCE(SwpDur_s, 5), Delay_s = COALESCE(Delay_s, 0), "
        "Drive_V = COALESCE(Drive_V, 1)"));
    for (int n = 1; n <= 6; ++n)
        db.Execute(QStringLiteral(
            "UPDATE vexo_tst SET Layer%1_On = COALESCE(Layer%1_On, 0), [Layer%1_Pt#] = COALESCE([Layer%1_Pt#], 4), "
            "Layer%1_fLo = COALESCE(Layer%1_fLo, 45), Layer%1_fMLo = COALESCE(Layer%1_fMLo, 0), "
            "Layer%1_fMHi = COALESCE(Layer%1_fMHi, 0), Layer%1_fHi = COALESCE(Layer%1_fHi, 18000), "
            "Layer%1_Lim = COALESCE(Layer%1_Lim, %1) WHERE Test_Type = 'Response'").arg(n));
}

void addOperator(const QString& iName, const QString& iLevel) {
    auto rs = open(QStringLiteral("Vexo_Op.mdb")).OpenRecordset(QStringLiteral("vexo_op"));
    rs->AddNew();
    rs->setField(QStringLiteral("Operator"), iName);
    if (!iLevel.isEmpty()) rs->setField(QStringLiteral("User_Level"), iLevel);
    rs->Update();
}
}
