#pragma once
#include <QString>
#include <cstdint>

// The calibration interval of a sequence: stored as days (a double), edited
// as whole days, hours and minutes in three boxes.
struct SeqCaliParts {
    int32_t days = 0;
    int32_t hours = 0;
    int32_t minutes = 0;
};

// Splits whole minutes, so that a value binary arithmetic leaves just short of
// an hour still shows that hour (1 d 2 h is "01", "02", "00", never "01", "01", "60").
SeqCaliParts seqCaliSplit(double iDays);

// Days from the three boxes' texts: each read as its leading number, rounded
// half to even to a whole number.
double seqCaliDays(const QString& iDays, const QString& iHours, const QString& iMinutes);
