#pragma once
#include <QDateTime>
#include <QString>

// Dates as the station stores them: days since 1899-12-30 as a double, the
// fraction being the time of day (0 means "never").
double vbDateFromDateTime(const QDateTime& iDateTime);
// The calendar the dates keep to: 1 January 100 to 31 December 9999. A value
// outside it (or not a number) raises Overflow (6); otherwise it is returned.
double vbCheckedDate(double iDays);
// The date's calendar fields, rounded to the nearest second as the run-time does
// when it shows a date.
QDateTime vbDateTimeFromDate(double iDays);
QDateTime vbDateTimeFromDateExact(double iDays);   // to the millisecond
double vbDateSerial(int iYear, int iMonth, int iDay);
double vbTimeSerial(int iHour, int iMinute, int iSecond);

// The locale's general date form: short date and long time ("07/12/2026 10:58:46");
// a date without time shows the date only, a time on day 0 the time only.
QString vbGeneralDateText(double iDays);
// A date typed or stored as text in the locale's forms.
bool parseVbDateText(const QString& iText, double& oDays);
