#include "tests/support/StoredRecords.h"
#include "common/StationRecords.h"
#include "platform/data/Database.h"
#include <gtest/gtest.h>

namespace stored {
namespace {
std::unique_ptr<Recordset> row(const QString& iFile, const QString& iTable, const QString& iKey,
                               const QString& iName) {
    std::unique_ptr<Recordset> rs = OpenDatabase(iFile).OpenRecordset(iTable);
    rs->FindFirst(iKey + QStringLiteral(" = ?"), Variant(iName));
    EXPECT_FALSE(rs->NoMatch()) << iTable.toStdString() << " holds no " << iName.toStdString();
    return rs;
}

void setField(Recordset& ioRs, const QString& iField, const Variant& iValue) {
    ioRs.Edit();
    ioRs.setField(iField, iValue);
    ioRs.Update();
}
}

std::unique_ptr<Recordset> sequence(const QString& iSeq) {
    return row(QStringLiteral("Vexo_Seq.mdb"), QStringLiteral("vexo_seq"), QStringLiteral("Seq_Name"), iSeq);
}

std::unique_ptr<Recordset> test(const QString& iTest) {
    return row(QStringLiteral("Vexo_Tst.mdb"), QStringLiteral("vexo_tst"), QStringLiteral("Test_Name"), iTest);
}

std::unique_ptr<Recordset> calibration(const QString& iSeq, int iSlot) {
    return row(QStringLiteral("Vexo_Seq.mdb"), QStringLiteral("vexo_seq_cal%1").arg(iSlot, 2, 10, QLatin1Char('0')),
               QStringLiteral("Seq_Name"), iSeq);
}

Variant sequenceField(const QString& iSeq, const QString& iField) { return sequence(iSeq)->field(iField); }

void setSequenceField(const QString& iSeq, const QString& iField, const Variant& iValue) {
    setField(*sequence(iSeq), iField, iValue);
}

void setTestField(const QString& iTest, const QString& iField, const Variant& iValue) {
    setField(*test(iTest), iField, iValue);
}

double lastCali(const QString& iSeq) { return SequenceRecord(*sequence(iSeq)).Last_Cali(); }

long rows(const QString& iFile, const QString& iTable) { return OpenDatabase(iFile).OpenRecordset(iTable)->RecordCount(); }

}
