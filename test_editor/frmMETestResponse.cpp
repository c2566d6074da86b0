#include "test_editor/frmMETestResponse.h"
#include "common/StationRecords.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/PictureBox.h"

frmMETestResponse::frmMETestResponse() : METestTypeForm(QStringLiteral("frmMETestResponse"), QStringLiteral("Response")) {
    picResponse = new PictureBox(this, QStringLiteral("picResponse"), 600, 200, 4800, 2550);
}

DrawSurface& frmMETestResponse::windowSurface() { return formSurface(*this); }

QList<testfields::LayerBand> frmMETestResponse::layerBands() {
    QList<testfields::LayerBand> out;
    Recordset& rs = dtaTest.Recordset();
    if (!rs.isOpen() || rs.AbsolutePosition() < 0) return out;
    const TestRecord test(rs);
    for (int n = 1; n <= 6; ++n) {
        const ResponseLayer l = test.Layer(n);
        out.append({l.On, l.fLo, l.fHi});
    }
    return out;
}
