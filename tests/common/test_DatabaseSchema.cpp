// A new station's five database files: created empty on first open, with the
// defaults the station's readers rely on.
#include "common/StationRecords.h"
#include "common/modDatabaseSchema.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include "tests/support/StationTest.h"
#include <QFile>

namespace {
class DatabaseSchemaTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gDatabaseSchemaRegister();
    }
};

TEST_F(DatabaseSchemaTest, ANewStationGetsItsFiveFilesWithTheirTables) {
    const QList<std::pair<QString, QStringList>> files = {
        {"Vexo_Seq.mdb", {"vexo_seq", "vexo_seq_cal01", "vexo_seq_cal09", "vexo_seq_cal16"}},
        {"Vexo_Tst.mdb", {"vexo_tst"}},
        {"Vexo_Prod.mdb", {"vexo_prod"}},
        {"Vexo_Op.mdb", {"vexo_op"}},
        {"Vexo_Crv.mdb", {"vexo_crv"}}};
    for (const auto& [file, tables] : files) {
        // Names arrive in other letter cases and with backslashes from stored paths.
        const Database db = OpenDatabase(QStringLiteral("\\") + file.toLower());
        EXPECT_TRUE(QFile::exists(homeFile(file))) << qPrintable(file);
        for (const QString& t : tables) {
            const auto rs = db.OpenRecordset(t);
            EXPECT_EQ(rs->RecordCount(), 0) << qPrintable(t);
        }
    }
    const Database crv = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
    EXPECT_EQ(crv.OpenRecordset(QStringLiteral("vexo_crv"))->fieldCount(), 109);
    const Database tst = OpenDatabase(QStringLiteral("Vexo_Tst.mdb"));
    const auto t = tst.OpenRecordset(QStringLiteral("vexo_tst"));
    EXPECT_EQ(t->fieldCount(), 63);
    EXPECT_EQ(t->fieldName(0), "Test_Name");
    EXPECT_GE(t->fieldIndex(QStringLiteral("layer6_pt#")), 0);
    const Database prod = OpenDatabase(QStringLiteral("Vexo_Prod.mdb"));
    EXPECT_EQ(prod.OpenRecordset(QStringLiteral("vexo_prod"))->fieldCount(), 8);
}

TEST_F(DatabaseSchemaTest, NewRecordsHoldTheDefaultsTheReadersNeed) {
    const Database seqDb = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
    auto seq = seqDb.OpenRecordset(QStringLiteral("vexo_seq"));
    seq->AddNew();
    seq->setField(QStringLiteral("Seq_Name"), QStringLiteral("O'Brien 8\""));
    seq->Update();
    seq->MoveFirst();
    const SequenceRecord s(*seq);
    EXPECT_EQ(s.Seq_Name(), "O'Brien 8\"");
    EXPECT_EQ(s.Last_Cali(), 0.0);
    EXPECT_EQ(s.Test_No(), 0);
    EXPECT_EQ(s.Serial_No(), 0);
    EXPECT_EQ(s.Ref_Lim(), 0.0f);
    EXPECT_EQ(s.Sel_Lim(), 0.0f);
    EXPECT_EQ(s.Serial_Flag(), "None");
    EXPECT_EQ(s.TestName(1), "");
    EXPECT_EQ(s.Prompt_File(), "");
    EXPECT_FALSE(CBool(seq->field(QStringLiteral("Active_Flag"))));

    auto cal = seqDb.OpenRecordset(QStringLiteral("vexo_seq_cal05"));
    cal->AddNew();
    cal->setField(QStringLiteral("Seq_Name"), QStringLiteral("Woofer"));
    cal->setField(QStringLiteral("Test_Name"), QStringLiteral(" "));
    cal->Update();
    cal->MoveFirst();
    const CalibrationRecord c(*cal);
    EXPECT_FALSE(c.hasReference());
    EXPECT_TRUE(cal->field(QStringLiteral("Ref_76_100")).isNull());
    EXPECT_EQ(c.AttIn(), 0);

    const Database tstDb = OpenDatabase(QStringLiteral("Vexo_Tst.mdb"));
    auto tst = tstDb.OpenRecordset(QStringLiteral("vexo_tst"));
    tst->AddNew();
    tst->setField(QStringLiteral("Test_Name"), QStringLiteral("Polarity LF"));
    tst->setField(QStringLiteral("Test_Type"), QStringLiteral("Polarity"));
    tst->Update();
    tst->MoveFirst();
    const TestRecord r(*tst);
    EXPECT_EQ(r.Swp_Type(), "No Sweep");
    EXPECT_FALSE(r.Active_Flag());
    EXPECT_FALSE(r.P_Neg_Flag());
    EXPECT_FALSE(r.Op_Decide(true));
    EXPECT_FALSE(r.Layer(3).On);   // layers a polarity test never set are off
    // A value the station needs but nobody stored is an error, not a silent zero.
    try {
        r.Drive_V();
        FAIL() << "a Null drive voltage must not read as 0";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 94);
    }
}

TEST_F(DatabaseSchemaTest, NamesAreUniqueWithoutRegardToCase) {
    const Database db = OpenDatabase(QStringLiteral("Vexo_Op.mdb"));
    auto op = db.OpenRecordset(QStringLiteral("vexo_op"));
    op->AddNew();
    op->setField(QStringLiteral("Operator"), QStringLiteral("Anne"));
    op->Update();
    op->AddNew();
    op->setField(QStringLiteral("Operator"), QStringLiteral("ANNE"));
    EXPECT_THROW(op->Update(), VbError);
    op->CancelUpdate();
    EXPECT_EQ(db.OpenRecordset(QStringLiteral("vexo_op"))->RecordCount(), 1);

    // Each calibration table keeps one row per sequence.
    const Database seqDb = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
    for (const char* table : {"vexo_seq_cal01", "vexo_seq_cal16"}) {
        auto cal = seqDb.OpenRecordset(QString::fromLatin1(table));
        cal->AddNew();
        cal->setField(QStringLiteral("Seq_Name"), QStringLiteral("Tweeter"));
        cal->Update();
        cal->AddNew();
        cal->setField(QStringLiteral("Seq_Name"), QStringLiteral("tweeter"));
        EXPECT_THROW(cal->Update(), VbError) << table;
        cal->CancelUpdate();
    }
}
}
