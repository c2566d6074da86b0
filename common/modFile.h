#pragma once
#include "platform/os/TextFile.h"
#include <QString>
#include <QStringList>
#include <cstdint>

// Dot-comment text files and file checks.
//
// Reads a dot-comment file into a 1-based list: oasLines[0] is always empty and
// oasLines[1..k] are the kept lines. Lines starting with "." are comments, a first
// such line is the title, ".." stands for a literal leading dot. Blank lines are
// dropped, or kept as " " with ibBlankAsSpace. A missing file gives just entry 0
// and leaves the title unchanged. Traps nothing: read errors reach the caller.
// A file larger than iLimit is refused, or with FileBound::KeepEnd read from its end.
void gFileReadDotArray(const QString& isPath, bool ibBlankAsSpace, QStringList& oasLines, QString& osTitle,
                       qint64 iLimit = kTextFileLimit, FileBound iOver = FileBound::Refuse);
int32_t glFileLineCount(const QString& isPath);

// True when an ordinary file of that name exists (wildcards * and ? match any
// file; hidden files and folders do not count). Relative names are looked up in
// the program folder.
bool gbFileExists(const QString& isFile, bool& obError);
// The path of the file the folder search finds for the name (any letter case),
// or the name in the program folder when there is none: where to write it back.
QString gsFileFoundPath(const QString& isFile);
bool gbFileExistsReportIfNot(const QString& isFile, const QString& isTitle, bool& obError);
// Opens an existing file for reading line by line (textFileLineInput, textFileClose);
// 0 when it does not exist (reported when the title is not blank).
int16_t gnFileExistsOpen(const QString& isFile, const QString& isTitle, bool& obError,
                         TextEncoding iEncoding = TextEncoding::Auto);
