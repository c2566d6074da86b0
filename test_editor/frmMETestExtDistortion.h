#pragma once
#include "platform/ui/ListBox.h"
#include "test_editor/METestTypeForm.h"
#include "test_editor/frmMETest.h"

// The ext distortion test's settings window; its fields come with the distortion window.
class frmMETestExtDistortion : public METestTypeForm {
public:
    frmMETestExtDistortion() : METestTypeForm(QStringLiteral("frmMETestExtDistortion"), QStringLiteral("Ext Distortion")) {
        lstMeasure = new ListBox(this, QStringLiteral("lstMeasure"), 120, 120, 3000, 1500);
    }
    ListBox* lstMeasure = nullptr;
    // The limit box's range check before a save; the box comes with the window's fields.
    void gMETestExtDistortionTxtLimHiValidate(bool& ioCancel, bool& obError) { Q_UNUSED(ioCancel); Q_UNUSED(obError); }

protected:
    bool& loadedFlag(frmMETest& ioEditor) override { return ioEditor.gbMETestExtDistortionLoaded; }
    bool mbExitClosesEditor() const override { return true; }
    bool mbPrintFollowsPrinter() const override { return true; }
};
