#pragma once
#include <QString>

// When a sequence's calibration falls due, and how the graph says so. Dates
// are days since 1899-12-30, as the sequence records hold them.

// Due when never calibrated (or marked stale, 0), or when the interval is above
// 0 and now lies strictly after the end of it. Dates compare to the second, so
// a due date that is now is not yet due.
bool caliDue(double idLastCali, double idCaliETime, double idNow);

// "Calibration due " and when, for a calibration that is not due and expires:
// the date as "d mmm", the weekday when its day starts less than 8 days from
// now, "tomorrow" on the next calendar day, and the short time on today.
QString caliDueWhenText(double idLastCali, double idCaliETime, double idNow);
