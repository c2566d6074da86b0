#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// How a text file's bytes become text.
enum class TextEncoding {
    Ansi,      // files the station writes itself: always Windows-1252, byte for byte
    Auto,      // files people write: UTF-8 when valid or marked by a BOM, else Windows-1252
};

QString decodeText(const QByteArray& iBytes, TextEncoding iEncoding);
// Lines end at CR LF, CR or LF; a last line without an ending counts as a line.
QStringList splitTextLines(const QString& iText);

// Files opened by number and read line by line, as the station's routines read
// them. Opening reads the whole file (the station's text files are small).
// Errors: 53 file not found, 75 access error, 52 bad file number, 62 input past end.
int textFileOpen(const QString& iPath, TextEncoding iEncoding);
QString textFileLineInput(int iFileNumber);
bool textFileEOF(int iFileNumber);
void textFileClose(int iFileNumber);
int textFileOpenCount();   // files still open (tests check nothing leaks)
