#pragma once
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

// The engineer's test editor. So far it holds what the station's core asks of
// it; the editor's own controls and handlers are built with the test editor.
class frmMETest : public Form {
public:
    frmMETest();

    // True while the editor itself is unloading.
    bool gbTest1FormUnloading = false;

    // The test shown; the sequence editor opens the editor on a test by setting it.
    ComboBox* dcboTest = new ComboBox(this, QStringLiteral("dcboTest"), 120, 120, 3375, 315);

    Menu* mnuFile = nullptr;
    Menu* mnuFileReset = nullptr;   // enabled when an edit is not saved yet

    // Deletes a test while the editor is open, so that the editor stays in step.
    void gMETestDelete(const QString& isTestName, bool& obError);

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    // Closes the open test-type windows.
    void mTestTypeFormsUnload(bool& obError);
};
