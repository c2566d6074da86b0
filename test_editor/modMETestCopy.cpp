#include "test_editor/modMETestCopy.h"
#include "common/ErrorTrap.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"
#include <QDir>

bool gbMETestCopy(const QString& isSourceTestName, const QString& isNewTestName, bool& obError) {
    ErrorTrap trap("modMETestCopy", "gbMETestCopy", obError);
    const QString file = QDir(appinfo::programFolder()).filePath(QStringLiteral("Vexo_Tst.mdb"));
    Database db;
    std::unique_ptr<Recordset> source;
    bool found = false;
    if (!trap(10, [&] {
            db = OpenDatabase(file, false, true);
            source = db.OpenRecordset(QStringLiteral("Vexo_tst"));
            source->FindFirst(QStringLiteral("Test_Name = ?"), Variant(isSourceTestName));
            found = !source->NoMatch() && CStr(source->field(QStringLiteral("Test_Name"))) == isSourceTestName;
        }))
        return false;
    if (!found) {
        trap(20, [&] {
            gMsgBox(QStringLiteral("Test '") + isSourceTestName + QStringLiteral("' not found"), vbExclamation,
                    QStringLiteral("Save Test As"));
        });
        obError = true;
        return false;
    }
    frmVexoView* main = gMainWindowLoaded() ? &gMainWindow() : nullptr;
    if (!trap(30, [&] {
            // Through the main window's data control when it is open, so it sees the new record at once.
            std::unique_ptr<Recordset> own;
            Recordset* rs = nullptr;
            if (main && main->dtaTest.Recordset().isOpen()) {
                rs = &main->dtaTest.Recordset();
            } else {
                own = OpenDatabase(file).OpenRecordset(QStringLiteral("vexo_tst"));
                rs = own.get();
            }
            rs->AddNew();
            for (int i = 0; i < rs->fieldCount() && i < source->fieldCount(); ++i) rs->setField(i, source->field(i));
            rs->setField(QStringLiteral("Test_Name"), Variant(isNewTestName));
            rs->Update();
        }))
        return false;
    trap(40, [&] {
        source->Close();
        if (main && main->dtaTest.Recordset().isOpen()) main->dtaTest.Refresh();
    });
    return !obError;
}
