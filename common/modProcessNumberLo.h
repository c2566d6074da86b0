#pragma once

// 20 times gfLog10 of the value: the level in decibels of an amplitude ratio.
float gfPN20Lg10(float ifValue, bool& obError);

// The straight line through (ifX1, ifY1) and (ifX2, ifY2) at ifV, or with
// ibInverse the x at which it reaches ifV. A line with x1 = x2 or y1 = y2 gives
// ifY2 (ifX2 with ibInverse). ifX1 above ifX2 is refused with a message, the
// error flag set and ifX1.
float gfPnStraightLine(float ifX1, float ifY1, float ifX2, float ifY2, float ifV, bool ibInverse, bool& obError);
