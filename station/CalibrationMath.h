#pragma once
#include <QString>
#include <vector>

// The reference curve as stored in a calibration row: four text fields of 25
// cells, points 1-25, 26-50, 51-75 and 76-100. A cell is six characters, the
// level formatted " 00.00;-00.00" with the user locale's decimal character; a
// field is exactly 150 characters. Cells are read back accepting "." and ",".
namespace calibrationmath {

constexpr int kCellWidth = 6;
constexpr int kFieldPoints = 25;
constexpr int kFields = 4;
constexpr float kCellLimit = 99.99f;

// A level kept within what a six-character cell holds: +-99.99 dB, NaN as
// -99.99, so that a wild value never widens its cell and shifts the others.
float cellValue(float ifLevel);
QString encodeCell(float ifLevel);
// The text of field iField (1..4) from iafCurve(1..100).
QString encodeField(const std::vector<float>& iafCurve, int iField);
// One cell back to a level; a cell that is no number raises type mismatch (13).
float decodeCell(const QString& isCell);
// Stores field iField's 25 cells in ioafCurve in rising order; a bad or
// missing cell raises at that point, the points before it stay stored.
void decodeField(const QString& isField, int iField, std::vector<float>& ioafCurve);

}
