#pragma once
#include "platform/data/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

// What the four test-type windows share: their own data control on the test
// editor's record, validating through the editor; File > Reset and Delete,
// which the editor enables; the loaded flag in the editor; and closing the
// editor when one of them closes.
class METestTypeForm : public Form {
public:
    explicit METestTypeForm(const QString& iName, const QString& iCaption);

    DataControl dtaTest{QStringLiteral("dtaTest")};
    Menu* mnuFile = nullptr;
    Menu* mnuFileDelete = nullptr;
    Menu* mnuFileReset = nullptr;
    Menu* mnuFilePrint = nullptr;

protected:
    // The editor's loaded flag of this window.
    virtual bool& loadedFlag(class frmMETest& ioEditor) = 0;

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void dtaTest_Validate(int& Action, bool& Save);
};
