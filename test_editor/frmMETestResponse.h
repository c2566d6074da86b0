#pragma once
#include "audio/modResponseSub.h"
#include "test_editor/METestTypeForm.h"

// The response test's window: its limit layers come with the test editor; the
// response grid and the try-out sweeps are drawn on picResponse.
class frmMETestResponse : public METestTypeForm, public ResponseWindow {
public:
    frmMETestResponse();
    DrawSurface& windowSurface() override;
};
