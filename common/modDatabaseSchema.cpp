#include "common/modDatabaseSchema.h"
#include "common/StationRecords.h"
#include "platform/data/Schema.h"

namespace {
// Names are keys of 19 characters; the other short texts and the file paths
// take what a person may reasonably type.
constexpr int kName = 19;
constexpr int kShort = 50;
constexpr int kPath = 255;

TableDef sequenceTable() {
    TableDef t(QStringLiteral("vexo_seq"));
    t.field(QStringLiteral("Seq_Name"), FieldType::Text, kName).required()
        .field(QStringLiteral("Active_Flag"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("Cali_ETime"), FieldType::Double).defaultValue(0.0)
        // "Never calibrated": a new sequence is due for calibration at once.
        .field(QStringLiteral("Last_Cali"), FieldType::Date).defaultValue(Variant::date(0.0))
        .field(QStringLiteral("Target_File"), FieldType::Text, kPath)
        .field(QStringLiteral("Prompt_File"), FieldType::Text, kPath)
        .field(QStringLiteral("Script_File"), FieldType::Text, kPath)
        .field(QStringLiteral("Log_Disc"), FieldType::Text, kShort).defaultValue("None")
        .field(QStringLiteral("Log_Disc_F"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("Log_Print"), FieldType::Text, kShort).defaultValue("None")
        .field(QStringLiteral("Log_Print_F"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("Serial_Flag"), FieldType::Text, kShort).defaultValue("None")
        .field(QStringLiteral("Ref_Lim"), FieldType::Single).defaultValue(0.0f)
        .field(QStringLiteral("Sel_Lim"), FieldType::Single).defaultValue(0.0f)
        .field(QStringLiteral("Ref_Search"), FieldType::Integer).defaultValue(int16_t{0})
        .field(QStringLiteral("Sel_Serial"), FieldType::Integer).defaultValue(int16_t{0})
        .field(QStringLiteral("Expansion1"), FieldType::Integer).defaultValue(int16_t{0})
        .field(QStringLiteral("Test_No"), FieldType::Integer).defaultValue(int16_t{0});
    for (int slot = 1; slot <= 16; ++slot)
        t.field(QStringLiteral("Test_%1").arg(slot, 2, 10, QLatin1Char('0')), FieldType::Text, kShort);
    t.field(QStringLiteral("Main_Resp"), FieldType::Text, kShort)
        .field(QStringLiteral("Serial_No"), FieldType::Long).defaultValue(int32_t{0})
        .index(QStringLiteral("Seq_Name"), {QStringLiteral("Seq_Name")}, true);
    return t;
}

// One table per test slot, one row per sequence. The four reference fields stay
// Null until the first calibration: an empty reference means "never calibrated".
TableDef calibrationTable(int iSlot) {
    TableDef t(QStringLiteral("vexo_seq_cal%1").arg(iSlot, 2, 10, QLatin1Char('0')));
    t.field(QStringLiteral("Seq_Name"), FieldType::Text, kName).required()
        .field(QStringLiteral("Test_Name"), FieldType::Text, kShort)
        .field(QStringLiteral("AttIn"), FieldType::Long).defaultValue(int32_t{0})
        .field(QStringLiteral("Ref_01_025"), FieldType::Text, 150)
        .field(QStringLiteral("Ref_26_050"), FieldType::Text, 150)
        .field(QStringLiteral("Ref_51_075"), FieldType::Text, 150)
        .field(QStringLiteral("Ref_76_100"), FieldType::Text, 150)
        .index(QStringLiteral("Seq_Name"), {QStringLiteral("Seq_Name")}, true);
    return t;
}

TableDef testTable() {
    TableDef t(QStringLiteral("vexo_tst"));
    t.field(QStringLiteral("Test_Name"), FieldType::Text, kName).required()
        .field(QStringLiteral("Test_Type"), FieldType::Text, kShort)
        .field(QStringLiteral("Swp_Type"), FieldType::Text, kShort).defaultValue("No Sweep")
        .field(QStringLiteral("fLo_Hz"), FieldType::Long)
        .field(QStringLiteral("fHi_Hz"), FieldType::Long)
        .field(QStringLiteral("Swp_Point"), FieldType::Integer)
        .field(QStringLiteral("SwpDur_s"), FieldType::Single)
        .field(QStringLiteral("Delay_s"), FieldType::Single)
        .field(QStringLiteral("Drive_V"), FieldType::Single)
        .field(QStringLiteral("Averages"), FieldType::Integer)
        .field(QStringLiteral("Active_Flag"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("Exit_Flag"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("Op_Decide"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("Op_DecideY"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("Pulse_LF"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("P_Neg_Flag"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("PC_Decide"), FieldType::Boolean).defaultValue(false)
        .field(QStringLiteral("Op_Prompt"), FieldType::Text, kPath)
        .field(QStringLiteral("fLo_Lim"), FieldType::Single)
        .field(QStringLiteral("fHi_Lim"), FieldType::Single)
        .field(QStringLiteral("ExtDistNo"), FieldType::Integer);
    // Layers a test does not use stay Null: Null reads as "off" and "no hole".
    for (int n = 1; n <= 6; ++n) {
        t.field(layerField(n, "On"), FieldType::Integer)
            .field(layerField(n, "Pt#"), FieldType::Integer)
            .field(layerField(n, "fLo"), FieldType::Long)
            .field(layerField(n, "fMLo"), FieldType::Long)
            .field(layerField(n, "fMHi"), FieldType::Long)
            .field(layerField(n, "fHi"), FieldType::Long)
            .field(layerField(n, "Lim"), FieldType::Single);
    }
    t.index(QStringLiteral("Test_Name"), {QStringLiteral("Test_Name")}, true);
    return t;
}

// Eight columns used by position, every value written as text.
TableDef productionTable() {
    TableDef t(QStringLiteral("vexo_prod"));
    for (const char* name : {"Prod_Seq", "Prod_Operator", "Prod_Station", "Prod_Start", "Prod_End", "Prod_Pause",
                             "Prod_Units", "Prod_Fails"})
        t.field(QString::fromLatin1(name), FieldType::Text, kShort);
    return t;
}

TableDef operatorTable() {
    TableDef t(QStringLiteral("vexo_op"));
    t.field(QStringLiteral("Operator"), FieldType::Text, kName).required()
        .field(QStringLiteral("User_Level"), FieldType::Text, kShort)
        .index(QStringLiteral("Operator"), {QStringLiteral("Operator")}, true);
    return t;
}

// No key: rows of one model are found by Model_Name, in logging order.
TableDef curveTable() {
    TableDef t(QStringLiteral("vexo_crv"));
    t.field(QStringLiteral("Model_Name"), FieldType::Text, kName)
        .field(QStringLiteral("Serial_Number"), FieldType::Long)
        .field(QStringLiteral("Date_Code"), FieldType::Date)
        .field(QStringLiteral("Station_Name"), FieldType::Text, kShort)
        .field(QStringLiteral("Op_Name"), FieldType::Text, kShort)
        .field(QStringLiteral("Swp_Start_Freq"), FieldType::Long)
        .field(QStringLiteral("Swp_End_Freq"), FieldType::Long)
        .field(QStringLiteral("Swp_Point"), FieldType::Integer)
        .field(QStringLiteral("Fail"), FieldType::Integer);
    for (int p = 1; p <= 100; ++p)
        t.field(QStringLiteral("Curve%1").arg(p, 3, 10, QLatin1Char('0')), FieldType::Single);
    t.index(QStringLiteral("Model_Name"), {QStringLiteral("Model_Name")});
    return t;
}
}

void gDatabaseSchemaRegister() {
    DatabaseSchema seq;
    seq.table(sequenceTable());
    for (int slot = 1; slot <= 16; ++slot) seq.table(calibrationTable(slot));
    registerDatabaseSchema(QStringLiteral("Vexo_Seq.mdb"), seq);
    registerDatabaseSchema(QStringLiteral("Vexo_Tst.mdb"), DatabaseSchema().table(testTable()));
    registerDatabaseSchema(QStringLiteral("Vexo_Prod.mdb"), DatabaseSchema().table(productionTable()));
    registerDatabaseSchema(QStringLiteral("Vexo_Op.mdb"), DatabaseSchema().table(operatorTable()));
    registerDatabaseSchema(QStringLiteral("Vexo_Crv.mdb"), DatabaseSchema().table(curveTable()));
}
