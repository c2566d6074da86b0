#include "test_editor/frmMETestResponse.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/PictureBox.h"

frmMETestResponse::frmMETestResponse() : METestTypeForm(QStringLiteral("frmMETestResponse"), QStringLiteral("Response")) {
    picResponse = new PictureBox(this, QStringLiteral("picResponse"), 600, 200, 4800, 2550);
}

DrawSurface& frmMETestResponse::windowSurface() { return formSurface(*this); }
