#pragma once
#include "test_editor/METestTypeForm.h"

// The sine test's settings window; its fields come with the test editor.
class frmMETestSine : public METestTypeForm {
public:
    frmMETestSine() : METestTypeForm(QStringLiteral("frmMETestSine"), QStringLiteral("Sine")) {}
};
