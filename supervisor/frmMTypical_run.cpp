// Reading the "Typical" batch and its rows, and the run that finds and shows
// the most typical unit on the main window.
#include "supervisor/frmMTypical.h"
#include "common/ErrorTrap.h"
#include "common/StationRecords.h"
#include "common/modMVarious.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/ui/Color.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Format.h"
#include "station/CalibrationMath.h"
#include "station/frmVexoView.h"
#include "supervisor/TypicalMath.h"
#include <algorithm>
#include <cmath>

namespace {
const char* const kModule = "frmMTypical";
const QString kTypical = QStringLiteral("Typical");
const QString kCrLf = QStringLiteral("\r\n");
const QString kCr = QStringLiteral("\r");
}

void frmMTypical::gReadBatchDoTypical(bool& obError) {
    ErrorTrap trap(kModule, "gReadBatchDoTypical", obError);
    int16_t points = 0;
    int32_t units = 0;
    if (!trap(10, [&] { units = gnVarReadBatch(false, kTypical, mafCurve, malSerial, points, obError); })) return;
    if (units == 0) {
        // The reader leaves its outputs alone then: no curves of an earlier read may stay.
        mafCurve.values.clear();
        mafCurve.resize(0);
        malSerial.assign(1, 0);
    }
    mnUnits = units;
    if (obError) return;
    const bool bFound = mbTypicalRowsRead(obError);
    if (obError || !bFound) return;
    // The empty graph and no stale text, as the station shows on a change of sequence.
    if (!trap(20, [&] {
            frmVexoView& main = gMainWindow();
            formSurface(main).Cls();
            bool bGridError = false;
            gVarTraboEngDrawRespGrid(true, bGridError);
            main.picPolarity->setVisible(false);
        }))
        return;
    mAddCRef(obError);
    if (!obError) gDoTypical(obError);
}

// The "Typical" test's range and points, its sequence's calibration time and
// the reference of the sequence's first calibration row, read through record
// sets of the window's own: the main window's sequence and test stay where
// the operator left them. False, after a message, when a row is missing.
bool frmMTypical::mbTypicalRowsRead(bool& obError) {
    ErrorTrap trap(kModule, "mbTypicalRowsRead", obError);
    QString missing;
    mnPoints = 0;
    trap(10, [&] {
        frmVexoView& main = gMainWindow();
        const QList<Variant> name{Variant(kTypical)};
        const Database tests = OpenDatabase(main.dtaTest.DatabaseName(), false, true);
        std::unique_ptr<Recordset> test =
            tests.OpenRecordset(QStringLiteral("SELECT * FROM vexo_tst WHERE Test_Name = ?"), name);
        if (test->EOF_()) {
            missing = QStringLiteral("test");
            return;
        }
        const TestRecord t(*test);
        const int32_t lo = t.fLo_HzLong();
        const int32_t hi = t.fHi_HzLong();
        const int16_t points = t.Swp_Point();
        const Database seqs = OpenDatabase(main.dtaSeq.DatabaseName(), false, true);
        std::unique_ptr<Recordset> seq =
            seqs.OpenRecordset(QStringLiteral("SELECT * FROM vexo_seq WHERE Seq_Name = ?"), name);
        if (seq->EOF_()) {
            missing = QStringLiteral("sequence");
            return;
        }
        const double lastCali = SequenceRecord(*seq).Last_Cali();
        std::unique_ptr<Recordset> cal =
            seqs.OpenRecordset(QStringLiteral("SELECT * FROM vexo_seq_cal01 WHERE Seq_Name = ?"), name);
        if (cal->EOF_()) {
            missing = QStringLiteral("calibration");
            return;
        }
        std::vector<float> ref(101, 0.0f);
        const CalibrationRecord c(*cal);
        // A test never calibrated has no reference: its curves were logged as measured.
        if (c.hasReference())
            for (int q = 1; q <= calibrationmath::kFields; ++q) calibrationmath::decodeField(c.Ref(q), q, ref);
        mlFLo = lo;
        mlFHi = hi;
        mnPoints = std::clamp<int16_t>(points, 0, 100);
        mdLastCali = lastCali;
        mafRef = std::move(ref);
    });
    if (obError) return false;
    if (missing.isEmpty()) return true;
    trap(20, [&] { mRowsMissingShow(missing); });
    return false;
}

void frmMTypical::mRowsMissingShow(const QString& isWhat) {
    gMsgBox(QStringLiteral("No 'Typical' ") + isWhat + QStringLiteral(" found: nothing to find the typical unit from"),
            vbExclamation, kTypical);
}

void frmMTypical::mAddCRef(bool& obError) {
    ErrorTrap trap(kModule, "mAddCRef", obError);
    trap(10, [&] { typicalmath::addReference(mafCurve, mnUnits, mnPoints, mafRef); });
}

void frmMTypical::gDoTypical(bool& obError) {
    ErrorTrap trap(kModule, "gDoTypical", obError);
    // Without the "Typical" test's points there is nothing to draw or rank.
    if (mnPoints == 0) {
        trap(5, [&] { mRowsMissingShow(QStringLiteral("test points")); });
        return;
    }
    const int32_t needed = typicalmath::batchMinimum(txtTypBatchMin->Text());
    if (mnUnits < needed) {
        trap(10, [&] {
            gMsgBox(QStringLiteral("ABANDONING TYPICAL!") + kCr + kCr + QString::number(mnUnits) + QStringLiteral(" '") +
                        kTypical + QStringLiteral("' units have been found") + kCrLf + QStringLiteral("and ") +
                        QString::number(needed) + QStringLiteral(" are needed") + kCrLf,
                    vbOKOnly, kTypical);
        });
        return;
    }
    setInputEnabled(false);
    mTypical(obError);
    setInputEnabled(true);
}

void frmMTypical::mTypical(bool& obError) {
    ErrorTrap trap(kModule, "mTypical", obError);
    frmVexoView& main = gMainWindow();
    DrawSurface& surface = formSurface(main);
    if (!trap(10, [&] { surface.setCurrentY(700); })) return;
    mPrintLeftMargin(QStringLiteral("Typical from ") + QString::number(mnUnits) + QStringLiteral(" units using") + kCrLf,
                     surface.ForeColor(), true, true, obError);
    if (obError) return;
    mPrintLeftMargin(QStringLiteral("calibration ") + FormatDate(mdLastCali, QStringLiteral("Short Time")) +
                         QLatin1Char(' ') + FormatDate(mdLastCali, QStringLiteral("Long Date")) + kCrLf + kCrLf,
                     surface.ForeColor(), true, false, obError);
    if (obError) return;
    std::vector<float> afUnit;
    for (int32_t i = 1; i <= mnUnits; ++i) {
        mCurve2Curve(i, afUnit, obError);
        if (obError) return;
        const QString unit = msCurveNoAndSerial(i, obError);
        if (obError) return;
        if (!trap(20, [&] { main.lblSerial->setCaption(QStringLiteral("Drawing ") + unit); })) return;
        gResponseSubPlotSet(main, mlFLo, mlFHi, mnPoints, afUnit, vbcolor::vbWhite, 0, obError);
        if (obError) return;
    }
    std::vector<float> afIdeal;
    if (!trap(30, [&] { afIdeal = typicalmath::ideal(mafCurve, mnUnits, mnPoints, optEnvelopeIdeal->Value()); }))
        return;
    mShowIdeal(afIdeal, obError);
    if (obError) return;
    std::vector<double> adDiff;
    mGenerateDifference(afIdeal, adDiff, obError);
    if (obError) return;
    const int32_t k = mnFindLeastDifference(adDiff, obError);
    if (obError) return;
    if (k == 0) {
        // Every difference is out of reach (NaN levels, or 1,000,000 and more): no unit to mark.
        trap(40, [&] {
            gMsgBox(QStringLiteral("No unit's averaged difference from the ideal is below 1000000: no typical unit"),
                    vbExclamation, kTypical);
        });
        return;
    }
    mShowMostTypical(k, adDiff[static_cast<size_t>(k)], obError);
}

void frmMTypical::mCurve2Curve(int32_t nUnit, std::vector<float>& afOut, bool& obError) {
    ErrorTrap trap(kModule, "mCurve2Curve", obError);
    trap(10, [&] {
        afOut.assign(101, 0.0f);
        for (int p = 1; p <= mnPoints; ++p) afOut[static_cast<size_t>(p)] = mafCurve(p, nUnit);
    });
}

QString frmMTypical::msCurveNoAndSerial(int32_t nUnit, bool& obError) {
    ErrorTrap trap(kModule, "msCurveNoAndSerial", obError);
    QString s;
    trap(10, [&] {
        s = QStringLiteral(" unit ") + QString::number(nUnit) + QStringLiteral(" serial ") +
            QString::number(malSerial.at(static_cast<size_t>(nUnit))) + QStringLiteral("     ");
    });
    return s;
}

void frmMTypical::mShowIdeal(const std::vector<float>& afIdeal, bool& obError) {
    gResponseSubPlotSet(gMainWindow(), mlFLo, mlFHi, mnPoints, afIdeal, vbcolor::vbBlue, 0, obError);
    if (obError) return;
    const int32_t current = formSurface(gMainWindow()).ForeColor();
    const QString kind = optAverageIdeal->Value() ? QStringLiteral("average ") : QStringLiteral("envelope middle ");
    const struct {
        QString text;
        int32_t colour;
        bool margin;
    } pieces[] = {
        {QStringLiteral("The "), current, true},
        {QStringLiteral("Blue "), vbcolor::vbBlue, false},
        {QStringLiteral("'ideal' is the "), current, false},
        {kind + kCrLf, vbcolor::vbBlue, false},
        {QStringLiteral("of the batch") + kCrLf + kCrLf, current, true},
    };
    for (const auto& piece : pieces) {
        mPrintLeftMargin(piece.text, piece.colour, piece.margin, false, obError);
        if (obError) return;
    }
}

void frmMTypical::mGenerateDifference(const std::vector<float>& afIdeal, std::vector<double>& adDiff, bool& obError) {
    ErrorTrap trap(kModule, "mGenerateDifference", obError);
    frmVexoView& main = gMainWindow();
    for (int32_t i = 1; i <= mnUnits; ++i) {
        const QString unit = msCurveNoAndSerial(i, obError);
        if (obError) return;
        if (!trap(10, [&] { main.lblSerial->setCaption(QStringLiteral("Averaging ") + unit); })) return;
    }
    trap(20, [&] {
        const typicalmath::Averaging law = optFourthAveraging->Value()    ? typicalmath::Averaging::Fourth
                                           : optSquaredAveraging->Value() ? typicalmath::Averaging::Squared
                                                                          : typicalmath::Averaging::Simple;
        adDiff = typicalmath::differences(mafCurve, mnUnits, mnPoints, afIdeal, law);
        main.lblSerial->setCaption(QString());
    });
}

int32_t frmMTypical::mnFindLeastDifference(const std::vector<double>& adDiff, bool& obError) {
    Q_UNUSED(obError);
    return typicalmath::leastDifference(adDiff);
}

void frmMTypical::mShowMostTypical(int32_t nUnit, double dDiff, bool& obError) {
    std::vector<float> afUnit;
    mCurve2Curve(nUnit, afUnit, obError);
    if (obError) return;
    gResponseSubPlotSet(gMainWindow(), mlFLo, mlFHi, mnPoints, afUnit, vbcolor::vbRed, 0, obError);
    if (obError) return;
    const int32_t current = formSurface(gMainWindow()).ForeColor();
    struct Piece {
        QString text;
        int32_t colour;
        bool margin;
    };
    QList<Piece> pieces{
        {QStringLiteral("The "), current, true},
        {QStringLiteral("Red "), vbcolor::vbRed, false},
        {QStringLiteral("curve is the typical serial ") + QString::number(malSerial.at(static_cast<size_t>(nUnit))) + kCr +
             kCr,
         current, false},
        {QStringLiteral("Its averaged "), current, true},
    };
    if (optSquaredAveraging->Value()) pieces.append({QStringLiteral("squared "), vbcolor::vbRed, false});
    if (optFourthAveraging->Value()) pieces.append({QStringLiteral("'to the fourth' "), vbcolor::vbRed, false});
    pieces.append({QStringLiteral("difference from the ") + kCrLf, current, false});
    pieces.append({QStringLiteral("ideal is ") + Format(dDiff, QStringLiteral("0.00")) + QStringLiteral("dB"), current, true});
    for (const Piece& piece : pieces) {
        mPrintLeftMargin(piece.text, piece.colour, piece.margin, false, obError);
        if (obError) return;
    }
}

void frmMTypical::mPrintLeftMargin(const QString& sText, int32_t lColour, bool bMargin, bool bKeepY, bool& obError) {
    ErrorTrap trap(kModule, "mPrintLeftMargin", obError);
    frmVexoView& main = gMainWindow();
    DrawSurface& surface = formSurface(main);
    const int32_t kept = surface.ForeColor();
    trap(10, [&] {
        surface.setForeColor(lColour);
        if (!bKeepY) surface.setCurrentY(nPrintY);
        if (bMargin) surface.setCurrentX(main.dcboSeq->Left());
        surface.PrintNoLineEnd(sText);
        nPrintY = static_cast<int32_t>(std::lround(surface.CurrentY()));
    });
    surface.setForeColor(kept);
}
