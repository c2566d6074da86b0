#pragma once
#include "platform/data/DataControl.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "test_editor/METestMenus.h"

class frmMETest;

// What the four test-type windows share: their own data control on the test
// editor's record, validating through the editor; the editor's File, Window
// and Help menus, every record operation forwarded to the editor; the loaded
// flag in the editor; the window state shared with the editor; and closing
// the editor when one of them closes.
class METestTypeForm : public Form, public METestMenus {
public:
    explicit METestTypeForm(const QString& iName, const QString& iCaption);

    DataControl dtaTest{QStringLiteral("dtaTest")};

protected:
    // The editor's loaded flag of this window.
    virtual bool& loadedFlag(frmMETest& ioEditor) = 0;
    // Run by the record's reposition after the caption follows the test name.
    virtual void mRepositioned() {}
    // After a Save or Save As from this window's menu (the window may have been replaced by then).
    virtual void mAfterSave() {}
    // The distortion window's Exit closes the editor; the others close themselves.
    virtual bool mbExitClosesEditor() const { return false; }
    // The window's own entry checks before its edits are written; a refusal
    // shows its message and keeps the record where it is.
    virtual void mCheckBeforeWrite(bool& ioCancel, bool& obError) {
        Q_UNUSED(ioCancel);
        Q_UNUSED(obError);
    }
    // Whether Form_Load enables File > Print when a printer is installed.
    virtual bool mbPrintFollowsPrinter() const { return false; }

    void changeEvent(QEvent* iEvent) override;

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void Form_Resize();
    void dtaTest_Reposition();
    void dtaTest_Validate(int& Action, bool& Save);
    // Runs an editor operation from this window's menu.
    void mEditor(void (frmMETest::*iOperation)(bool&));
    void mnuFileExit_Click();
};
