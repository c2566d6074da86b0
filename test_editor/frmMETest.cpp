#include "test_editor/frmMETest.h"
#include "common/modVarLookup.h"

frmMETest::frmMETest() : Form(QStringLiteral("frmMETest")) {}

void frmMETest::gMETestDelete(const QString& isTestName, bool& obError) {
    gVarTestDelete(isTestName, obError);
}
