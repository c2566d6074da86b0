#pragma once
#include <QString>
#include <exception>

// The one exception type of the station: a run-time error with the number the
// error texts and the central handler go by, its description and the last
// system error code.
struct VbError : std::exception {
    long number = 0;
    QString description;
    long lastDllError = 0;

    VbError(long iNumber, QString iDescription, long iLastDllError = 0);
    const char* what() const noexcept override;

private:
    QByteArray mWhat;
};

// Numbers the run-time uses.
namespace vberr {
constexpr long kReturnWithoutGoSub = 3;
constexpr long kInvalidCall = 5;
constexpr long kOverflow = 6;
constexpr long kOutOfMemory = 7;
constexpr long kSubscriptOutOfRange = 9;
constexpr long kDivisionByZero = 11;
constexpr long kTypeMismatch = 13;
constexpr long kInternalError = 51;
constexpr long kBadFileNameOrNumber = 52;
constexpr long kFileNotFound = 53;
constexpr long kBadFileMode = 54;
constexpr long kInputPastEnd = 62;
constexpr long kPermissionDenied = 70;
constexpr long kPathFileAccess = 75;
constexpr long kPathNotFound = 76;
constexpr long kInvalidUseOfNull = 94;
constexpr long kNoCurrentRecord = 3021;
// Base of the station's own errors (hexadecimal 80040000).
constexpr long kUserBase = -2147221504L;
}

// The run-time's standard text for a number ("Overflow", "Type mismatch", ...).
QString vbErrorText(long iNumber);

// Raise an error with the run-time's standard text.
[[noreturn]] void vbRaise(long iNumber);
[[noreturn]] void vbRaise(long iNumber, const QString& iDescription, long iLastDllError = 0);

// The run-time error state (Err): what the error block of a routine sees.
struct ErrObject {
    long Number = 0;
    QString Description;
    long LastDllError = 0;
    void Clear();
    void set(const VbError& iError);
};
ErrObject& Err();
