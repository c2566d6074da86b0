#pragma once
#include "test_editor/METestTypeForm.h"

// The ext distortion test's settings window; its fields come with the test editor.
class frmMETestExtDistortion : public METestTypeForm {
public:
    frmMETestExtDistortion() : METestTypeForm(QStringLiteral("frmMETestExtDistortion"), QStringLiteral("Ext Distortion")) {}
};
