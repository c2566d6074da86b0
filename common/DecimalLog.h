#pragma once

// The station's base-10 logarithm: ln(x) / 2.3025851 worked in double
// precision with that constant as written, the result as a single. Every
// level and every sweep-point step goes through it, so that levels match the
// ones stored by earlier releases and two callers never disagree on a point.
// A value of 0 or below raises 5 (invalid procedure call).
float decimalLog(double iValue);
