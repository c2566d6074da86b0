#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>

// Test and sequence lookups in Vexo_Tst.mdb and Vexo_Seq.mdb.

// Every Test_Name of vexo_tst in record order at 1..n; entry 0 empty.
void gVarReadTestNameList(QStringList& oasList, bool& obError);
void gVarSeqNoTestsMsgBox(const QString& isSeqName, bool& obError);
// Points the main window's dtaSeqCal at the slot's calibration table and the
// sequence's row; a missing row is an error, never another sequence's row.
void gVarSetSeqCal00(const QString& isSeqName, int16_t inSlot, bool& obError);
// Leaves dtaSeqCal on the sequence's calibration row of the test's slot; a test
// in no slot is an error ("not found").
void gVarSetSeqCalTestName(const QString& isSeqName, const QString& isTestName, bool& obError);
// The same search, for callers to whom a test never calibrated is normal: False
// without a message when no slot's row names the test (dtaSeqCal then stands on
// a row that is not the test's). A missing row is still an error.
bool gbVarFindSeqCalTestName(const QString& isSeqName, const QString& isTestName, bool& obError);
void gVarTestDelete(const QString& isTestName, bool& obError);
void gVarDeleteTestCrowbar(const QString& isTestName, bool& obError);
// True when a sequence uses the test; with ibShowList the sequences are listed.
bool gbVarTestInSequences(const QString& isTestName, bool ibShowList, bool& obError);
