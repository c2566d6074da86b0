#pragma once
#include <QString>
#include <cstdint>
#include <vector>

class Recordset;

// The curve store: logged unit curves in vexo_crv of Vexo_Crv.mdb.

// A batch of logged curves of one model: level of point p of curve k at
// level(p, k), points 0..100, curves 0..m (index 0 of either holds nothing).
struct CurveLevels {
    std::vector<float> values;    // 101 x (m + 1), point-major per curve
    int32_t curves = 0;           // m
    float& operator()(int iPoint, int iCurve) { return values[static_cast<size_t>(iCurve) * 101 + iPoint]; }
    float operator()(int iPoint, int iCurve) const { return values[static_cast<size_t>(iCurve) * 101 + iPoint]; }
    // Resizes to curves 0..m keeping what is there (new columns zero).
    void resize(int32_t iCurves) { values.resize(static_cast<size_t>(iCurves + 1) * 101, 0.0f); curves = iCurves; }
};

// Logs one curve (points 1..n of iafCurve, n the current test's Swp_Point) with
// the current sequence, serial number, test range, operator and station, and
// the run's fail set (0 = passed).
void gVarCrvFileWrite(const std::vector<float>& iafCurve, int16_t inFail, bool& obError);

// Reads every logged curve of the model, in logging order. Returns the count m;
// with m = 0 the outputs are left as they were. onPoints is the point count of
// the last curve read. The main window's serial label shows the progress, and
// is cleared at the end when ibClearLabel is set.
int16_t gnVarReadBatch(bool ibClearLabel, const QString& isModelName, CurveLevels& oafCurve,
                       std::vector<int32_t>& oalSerial, int16_t& onPoints, bool& obError);

// Reads the current record's points into ioafCurve 1..n and returns n.
int16_t mnCrvFileRead(const Recordset& iRs, std::vector<float>& ioafCurve, bool& obError);
