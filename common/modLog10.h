#pragma once

// The base-10 logarithm as ln(fIn) / 2.3025851 (decimalLog: that constant, in
// double precision, so that levels match the ones stored by earlier releases). A value of 0 or below is refused
// with a message, the error flag set and 0.
float gfLog10(float fIn, bool& obError);
