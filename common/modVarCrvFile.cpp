#include "common/modVarCrvFile.h"
#include "common/ErrorTrap.h"
#include "common/modVarSystemParams.h"
#include "common/StationRecords.h"
#include "platform/data/DataControl.h"
#include "platform/os/Clock.h"
#include "platform/ui/FormRegistry.h"
#include "platform/vb/Conversions.h"
#include "station/frmVexoView.h"
#include <QElapsedTimer>
#include <array>

namespace {
const char* kModule = "modVarCrvFile";
constexpr qint64 kProgressMs = 40;   // 25 progress texts a second
// "Curve" and the point in three digits; made once, since a batch reads them a hundred thousand times.
const QString& curveField(int iPoint) {
    static const std::vector<QString> sNames = [] {
        std::vector<QString> names(101);
        for (int p = 1; p <= 100; ++p) names[static_cast<size_t>(p)] = QStringLiteral("Curve%1").arg(p, 3, 10, QLatin1Char('0'));
        return names;
    }();
    return sNames.at(static_cast<size_t>(iPoint));
}
}

void gVarCrvFileWrite(const std::vector<float>& iafCurve, int16_t inFail, bool& obError) {
    ErrorTrap trap(kModule, "gVarCrvFileWrite", obError);
    frmVexoView& main = gMainWindow();
    int16_t n = 0;
    if (!trap(10, [&] { n = TestRecord(main.dtaTest.Recordset()).Swp_Point(); })) return;
    if (n < 0 || n > 100 || (n > 0 && static_cast<size_t>(n) >= iafCurve.size())) {
        // Whatever the answer, a point count the curve does not have is never written.
        trap(15, [&] { vbRaise(vberr::kSubscriptOutOfRange); });
        obError = true;
        return;
    }
    Recordset& rs = main.dtaCurve.Recordset();
    if (!trap(20, [&] { rs.AddNew(); })) return;
    bool complete = false;
    trap(30, [&] {
        const SequenceRecord seq(main.dtaSeq.Recordset());
        const TestRecord test(main.dtaTest.Recordset());
        rs.setField(QStringLiteral("Model_Name"), seq.Seq_Name());
        rs.setField(QStringLiteral("Serial_Number"), seq.Serial_No());
        rs.setField(QStringLiteral("Date_Code"), Variant::date(vclock::nowDays()));
        rs.setField(QStringLiteral("Station_Name"), gsStationName);
        rs.setField(QStringLiteral("Op_Name"), main.dcboOperator->Text());
        rs.setField(QStringLiteral("Swp_Start_Freq"), test.fLo_HzLong());
        rs.setField(QStringLiteral("Swp_End_Freq"), test.fHi_HzLong());
        rs.setField(QStringLiteral("Swp_Point"), n);
        rs.setField(QStringLiteral("Fail"), inFail);
        for (int p = 1; p <= n; ++p) rs.setField(curveField(p), iafCurve[static_cast<size_t>(p)]);
        complete = true;
    });
    // A curve that could not be set up completely (Ignore included) is not stored half-filled.
    if (!complete) obError = true;
    if (!complete || !trap(40, [&] { rs.Update(); })) {
        if (rs.EditMode() != dbEditNone) rs.CancelUpdate();
    }
}

namespace {
// Where Swp_Point, Serial_Number and the curve fields stand in a record set of
// the curve table, looked up once for a whole batch rather than per record.
struct CurveFieldPositions {
    int points = -1;
    int serial = -1;
    std::array<int, 101> curve{};
};

CurveFieldPositions curveFieldPositions(const Recordset& iRs) {
    CurveFieldPositions at;
    at.points = iRs.fieldIndex(QStringLiteral("Swp_Point"));
    at.serial = iRs.fieldIndex(QStringLiteral("Serial_Number"));
    for (int p = 1; p <= 100; ++p) at.curve[static_cast<size_t>(p)] = iRs.fieldIndex(curveField(p));
    return at;
}

// A field by its position; a field the set lacks raises what a look-up by its name does.
Variant fieldAt(const Recordset& iRs, int iPosition, const QString& iName) {
    return iPosition >= 0 ? iRs.field(iPosition) : iRs.field(iName);
}

int16_t curveRead(const Recordset& iRs, const CurveFieldPositions& iAt, std::vector<float>& ioafCurve, bool& obError) {
    ErrorTrap trap(kModule, "mnCrvFileRead", obError);
    int16_t n = 0;
    if (!trap(10, [&] {
            n = CInt(fieldAt(iRs, iAt.points, QStringLiteral("Swp_Point")));
            if (n < 0 || static_cast<size_t>(n) >= ioafCurve.size()) vbRaise(vberr::kSubscriptOutOfRange);
        }))
        return 0;
    trap(20, [&] {
        for (int p = 1; p <= n; ++p)
            ioafCurve[static_cast<size_t>(p)] = CSng(fieldAt(iRs, iAt.curve[static_cast<size_t>(p)], curveField(p)));
    });
    return n;
}
}

int16_t mnCrvFileRead(const Recordset& iRs, std::vector<float>& ioafCurve, bool& obError) {
    return curveRead(iRs, curveFieldPositions(iRs), ioafCurve, obError);
}

int16_t gnVarReadBatch(bool ibClearLabel, const QString& isModelName, CurveLevels& oafCurve,
                       std::vector<int32_t>& oalSerial, int16_t& onPoints, bool& obError) {
    ErrorTrap trap(kModule, "gnVarReadBatch", obError);
    frmVexoView& main = gMainWindow();
    Recordset& rs = main.dtaCurve.Recordset();
    std::vector<float> work(101, 0.0f);
    int16_t m = 0;
    // The progress is shown as often as an eye can follow it, and for the last
    // curve found: a repaint per curve would cost more than reading the curve.
    QElapsedTimer shown;
    QString progress;
    auto showProgress = [&] {
        main.lblSerial->setCaption(progress);
        main.lblSerial->repaint();
        shown.start();
    };
    // The name is bound as a value: a model name with an apostrophe is found like any other.
    trap(10, [&] {
        m = 0;   // a walk run again starts the batch again
        const CurveFieldPositions at = curveFieldPositions(rs);
        rs.FindEach(QStringLiteral("Model_Name = ?"), isModelName, [&] {
            int16_t next = 0;
            // The count is 16-bit: a model with more curves than that stops with an error.
            if (!trap(15, [&] { next = checkedInt(m + 1); })) return false;
            if (next == 0) { obError = true; return false; }
            bool readError = false;
            const int16_t n = curveRead(rs, at, work, readError);
            if (readError) { obError = true; return false; }
            int32_t serial = 0;
            if (!trap(20, [&] {
                    const Variant s = fieldAt(rs, at.serial, QStringLiteral("Serial_Number"));
                    serial = s.isNull() ? 0 : CLng(s);
                }))
                return false;
            m = next;
            onPoints = n;
            if (m == 1) oalSerial.assign(2, 0);
            else oalSerial.resize(static_cast<size_t>(m) + 1, 0);
            oalSerial[static_cast<size_t>(m)] = serial;
            progress = QStringLiteral(" Searching ... found serial ") + QString::number(serial);
            if (!shown.isValid() || shown.elapsed() >= kProgressMs) showProgress();
            if (m == 1) { oafCurve.values.clear(); oafCurve.resize(1); }
            else oafCurve.resize(m);
            for (int p = 1; p <= n; ++p) oafCurve(p, m) = work[static_cast<size_t>(p)];
            return true;
        });
    });
    if (!progress.isEmpty() && main.lblSerial->Caption() != progress) showProgress();
    if (ibClearLabel) main.lblSerial->setCaption(QString());
    return m;
}
