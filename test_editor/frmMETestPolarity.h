#pragma once
#include "platform/ui/PictureBox.h"
#include "test_editor/METestTypeForm.h"
#include "test_editor/frmMETest.h"

// The polarity test's settings window; its fields come with the polarity window.
class frmMETestPolarity : public METestTypeForm {
public:
    frmMETestPolarity() : METestTypeForm(QStringLiteral("frmMETestPolarity"), QStringLiteral("Polarity")) {
        picPolarity = new PictureBox(this, QStringLiteral("picPolarity"), 300, 100, 3325, 2550);
        mnuFileDelete->setCaption(QStringLiteral("&Delete Test"));
        mnuFileSave->setCaption(QStringLiteral("&Save Test"));
        mnuFileSaveAs->setCaption(QStringLiteral("Save Test &As"));
    }
    PictureBox* picPolarity = nullptr;

protected:
    bool& loadedFlag(frmMETest& ioEditor) override { return ioEditor.gbMETestPolarityLoaded; }
};
