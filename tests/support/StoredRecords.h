#pragma once
// The station's records read back, or changed between steps, the way a test
// looks into the program folder's database files: a sequence by name in
// vexo_seq, a test by name in vexo_tst, a slot's calibration row, a table's
// row count. A record that is not there fails the test.
#include "platform/data/Recordset.h"
#include "platform/vb/Variant.h"
#include <QString>
#include <memory>

namespace stored {

// The record set of the table, current on the sequence's (the test's) row.
std::unique_ptr<Recordset> sequence(const QString& iSeq);
std::unique_ptr<Recordset> test(const QString& iTest);
// The sequence's calibration row of slot 1 to 16 (vexo_seq_cal01 to 16).
std::unique_ptr<Recordset> calibration(const QString& iSeq, int iSlot);

Variant sequenceField(const QString& iSeq, const QString& iField);
// One field of the row written, as an engineer's editor leaves it.
void setSequenceField(const QString& iSeq, const QString& iField, const Variant& iValue);
void setTestField(const QString& iTest, const QString& iField, const Variant& iValue);

double lastCali(const QString& iSeq);
long rows(const QString& iFile, const QString& iTable);

}
