#pragma once
#include <QByteArray>
#include <QString>

// Text helpers with the run-time's 1-based positions. A position or length
// below what the run-time allows raises "Invalid procedure call" (5).
QString Left(const QString& iText, long iLength);
QString Right(const QString& iText, long iLength);
QString Mid(const QString& iText, long iStart, long iLength = -1);
long InStr(long iStart, const QString& iText, const QString& iFind);
inline long InStr(const QString& iText, const QString& iFind) { return InStr(1, iText, iFind); }
long InStrRev(const QString& iText, const QString& iFind);
inline long Len(const QString& iText) { return static_cast<long>(iText.size()); }
QString Trim(const QString& iText);     // spaces only, as the run-time trims
QString LTrim(const QString& iText);
QString RTrim(const QString& iText);
QString UCase(const QString& iText);
QString LCase(const QString& iText);
QString Space(long iCount);

// The ANSI code page (Windows-1252), lossless for all 256 byte values: the five
// bytes 1252 leaves unassigned map to the control characters of the same number.
QString Chr(int iCode);                 // code 0..255 in 1252
int Asc(const QString& iText);          // first character's 1252 code; 5 on an empty text
int ansiCode(QChar iChar);              // -1 when the character is not in 1252
QString fromAnsi(const QByteArray& iBytes);
QByteArray toAnsi(const QString& iText); // characters outside 1252 become "?"
bool isAnsiEncodable(const QString& iText);
