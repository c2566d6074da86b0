#pragma once
#include <QString>
#include <QUrl>
#include <functional>

// Hands a file or web address to the desktop's own handler. Returns a code in
// the manner of the shell: above 32 on success, 2 when the file does not exist,
// 31 when no program is associated (or the desktop refused).
int shellOpen(const QString& iTarget);
constexpr int kShellOk = 42;
constexpr int kShellFileNotFound = 2;
constexpr int kShellNoAssociation = 31;

// Tests replace the desktop's handler.
void setShellOpenHandler(std::function<bool(const QUrl&)> iHandler);
