#pragma once
#include "audio/modResponseSub.h"
#include "test_editor/METestTypeForm.h"
#include "test_editor/TestFieldRules.h"
#include "test_editor/frmMETest.h"

// The response test's window: the response grid and the try-out sweeps are
// drawn on picResponse; its limit layers come with the layer window.
class frmMETestResponse : public METestTypeForm, public ResponseWindow {
public:
    frmMETestResponse();
    DrawSurface& windowSurface() override;

    // The six layers' bands as the window shows them (until the layer lists
    // exist, as its record holds them).
    QList<testfields::LayerBand> layerBands();
    // Snaps the layers to a changed sweep; filled in with the layer rules.
    void gMETestResponseCheckRangeUpdate(bool& obError) { Q_UNUSED(obError); }
    // The layers are drawn only while the program judges; filled in with the layer window.
    void gMETestResponseUpdateLayersHeight(bool& obError) { Q_UNUSED(obError); }

protected:
    bool& loadedFlag(frmMETest& ioEditor) override { return ioEditor.gbMETestResponseLoaded; }
};
