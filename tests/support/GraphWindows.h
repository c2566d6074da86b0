#pragma once
// Small windows that carry the station's graphs for tests of the drawing and
// measuring routines: a response graph (picResponse, drawn on a window that
// also takes the window's own texts) and a polarity picture (picPolarity).
#include "audio/modResponseSub.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/Form.h"
#include "platform/ui/PictureBox.h"

class frmGraph : public Form, public ResponseWindow {
public:
    frmGraph() : Form(QStringLiteral("frmGraph")) {
        setClientSize(6000, 3400);
        picResponse = new PictureBox(this, QStringLiteral("picResponse"), 0, 0, 1200, 900);
    }
    DrawSurface& windowSurface() override { return formSurface(*this); }
};

class frmPolarity : public Form {
public:
    frmPolarity() : Form(QStringLiteral("frmPolarity")) {
        setClientSize(4200, 3600);
        picPolarity = new PictureBox(this, QStringLiteral("picPolarity"), 360, 700, 3325, 2550);
    }
    PictureBox* picPolarity = nullptr;
};
