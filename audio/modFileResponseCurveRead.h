#pragma once
#include <QString>
#include <cstdint>
#include <vector>

// modFileResponseCurveRead: target curve files. A dot-comment text file of
// lines "frequency,level" (Hz, dB), at least two points with frequencies
// strictly rising. "." is always the decimal point; the user locale's decimal
// character is accepted too where it is not the comma that ends the frequency.

// Reads the file into afFreq and afLevel (1..n, element 0 unused) and extends
// the curve to reach fSweepLo and fSweepHi on the straight line through its two
// end points (linear in hertz). A file with no or one point, falling
// frequencies or a line that is no number is reported, the error flag set and
// both arrays emptied (0 To 0). Always returns 0.
int16_t gFileResponseCurveRead(const QString& sFile, float fSweepLo, float fSweepHi, std::vector<float>& afFreq,
                               std::vector<float>& afLevel, bool& obError);
