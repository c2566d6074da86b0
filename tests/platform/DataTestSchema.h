#pragma once
#include "platform/data/DataControl.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/data/Schema.h"
#include "tests/support/StationTest.h"

inline void PrintTo(const QString& iText, std::ostream* oStream) { *oStream << '"' << iText.toStdString() << '"'; }

// A small file with the kinds of field the station's files use, registered
// afresh for every test.
inline void registerTestSchema() {
    DatabaseSchema s;
    s.table(TableDef(QStringLiteral("seq"))
                .field(QStringLiteral("Seq_Name"), FieldType::Text, 20).required()
                .field(QStringLiteral("Test_No"), FieldType::Integer).defaultValue(Variant(int16_t(0)))
                .field(QStringLiteral("Serial_No"), FieldType::Long).defaultValue(Variant(int32_t(0)))
                .field(QStringLiteral("Level"), FieldType::Single)
                .field(QStringLiteral("Gain"), FieldType::Double)
                .field(QStringLiteral("Active"), FieldType::Boolean).defaultValue(Variant(false))
                .field(QStringLiteral("Last_Cali"), FieldType::Date).defaultValue(Variant::date(0))
                .field(QStringLiteral("Swp_Type"), FieldType::Text, 20).defaultValue(Variant("No Sweep"))
                .field(QStringLiteral("Layer1_Pt#"), FieldType::Single)
                .field(QStringLiteral("Notes"), FieldType::Memo)
                .index(QStringLiteral("Name"), {QStringLiteral("Seq_Name")}));
    s.table(TableDef(QStringLiteral("op"))
                .field(QStringLiteral("Operator"), FieldType::Text, 30).required()
                .field(QStringLiteral("Level"), FieldType::Integer).defaultValue(Variant(int16_t(1)))
                .index(QStringLiteral("Name"), {QStringLiteral("Operator")}, true));   // index names are per table
    registerDatabaseSchema(QStringLiteral("Test_Seq.mdb"), s);
}

class DataTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        registerTestSchema();
    }

    // Adds a record through the layer and returns its bookmark.
    static RecordBookmark addSeq(Recordset& ioRs, const QString& iName, int iTestNo = 0) {
        ioRs.AddNew();
        ioRs.setField(QStringLiteral("Seq_Name"), iName);
        ioRs.setField(QStringLiteral("Test_No"), Variant(int32_t(iTestNo)));
        ioRs.Update();
        return ioRs.LastModified();
    }

    static std::unique_ptr<Recordset> seqSet() { return OpenDatabase(QStringLiteral("Test_Seq.mdb")).OpenRecordset(QStringLiteral("seq")); }

    static QStringList names(Recordset& ioRs) {
        QStringList out;
        if (ioRs.RecordCount() == 0) return out;
        for (ioRs.MoveFirst(); !ioRs.EOF_(); ioRs.MoveNext()) out << ioRs.field(QStringLiteral("Seq_Name")).text();
        return out;
    }
};

