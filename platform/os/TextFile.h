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

// The most a file named by a record or a setting may hold: prompts, label
// scripts and settings files, and target curve files.
constexpr qint64 kTextFileLimit = qint64(1) << 20;
constexpr qint64 kCurveFileLimit = qint64(10) << 20;

// Reads a whole file that a record or a setting names. Only a regular file is
// read, and only up to iLimit bytes, so that a device, a pipe or a huge file can
// neither block the station nor fill its memory: anything else raises 75
// ("Path/File access error: the file '…' is not a regular file", "… is larger
// than 1 MB"). A file that is not there raises 53.
// With FileBound::KeepEnd a larger file is not refused: its last iLimit bytes
// are read, from the first line that starts within them (a log's end).
enum class FileBound { Refuse, KeepEnd };
QByteArray readBoundedFile(const QString& iPath, qint64 iLimit = kTextFileLimit, FileBound iOver = FileBound::Refuse);

// Writes iBytes as the whole of the file iPath: afterwards the file holds
// either all of them or, when anything failed, exactly what it held before (or
// is still not there). The bytes go to a new file beside it, every write
// checked and flushed to the disk, which then takes the old one's place and
// keeps its permissions; a file the name links to is the one replaced.
// Returns an empty text when the file was written, else the cause as the
// system words it ("No space left on device", "File too large"), for the
// caller's message, which names the file.
[[nodiscard]] QString writeWholeFile(const QString& iPath, const QByteArray& iBytes);

// Files opened by number and read line by line, as the station's routines read
// them. Opening reads the whole file through readBoundedFile.
// Errors: 53 file not found, 75 access error, 52 bad file number, 62 input past end.
int textFileOpen(const QString& iPath, TextEncoding iEncoding, qint64 iLimit = kTextFileLimit);
QString textFileLineInput(int iFileNumber);
bool textFileEOF(int iFileNumber);
void textFileClose(int iFileNumber);
int textFileOpenCount();   // files still open (tests check nothing leaks)
