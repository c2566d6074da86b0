#pragma once
#include <QString>
#include <cstdint>

class QLabel;
class TimerControl;

// The clock label and the time and date texts.
void gTimeDateShow(QLabel* ilblTimeDate, TimerControl* itmrClock, bool& obError);
QString gsTimeDateMinsSecs(double idTime, const QString& isMinsFormat, int16_t inDecimals, bool& obError);
QString gsTimeDateShortTimeDayMediumDate(double idTime, bool& obError);
QString gsTimeDateShortTimeMediumDate(double idDateTime, bool& obError);
