#include "platform/vb/VbError.h"

VbError::VbError(long iNumber, QString iDescription, long iLastDllError)
    : number(iNumber), description(std::move(iDescription)), lastDllError(iLastDllError),
      mWhat(QStringLiteral("Error %1: %2").arg(iNumber).arg(description).toUtf8()) {}

const char* VbError::what() const noexcept { return mWhat.constData(); }

QString vbErrorText(long iNumber) {
    switch (iNumber) {
    case 3: return QStringLiteral("Return without GoSub");
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 7: return QStringLiteral("Out of memory");
    case 9: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 51: return QStringLiteral("Internal error");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 62: return QStringLiteral("Input past end of file");
    case 70: return QStringLiteral("Permission denied");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 94: return QStringLiteral("Invalid use of Null");
    case 3021: return QStringLiteral("No current record.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

void vbRaise(long iNumber) { throw VbError(iNumber, vbErrorText(iNumber)); }

void vbRaise(long iNumber, const QString& iDescription, long iLastDllError) {
    throw VbError(iNumber, iDescription, iLastDllError);
}

void ErrObject::Clear() {
    Number = 0;
    Description.clear();
    LastDllError = 0;
}

void ErrObject::set(const VbError& iError) {
    Number = iError.number;
    Description = iError.description;
    LastDllError = iError.lastDllError;
}

ErrObject& Err() {
    static ErrObject sErr;
    return sErr;
}
