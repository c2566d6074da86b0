#pragma once
#include "test_editor/METestTypeForm.h"

// The polarity test's settings window; its fields come with the test editor.
class frmMETestPolarity : public METestTypeForm {
public:
    frmMETestPolarity() : METestTypeForm(QStringLiteral("frmMETestPolarity"), QStringLiteral("Polarity")) {}
};
