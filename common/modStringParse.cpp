#include "common/modStringParse.h"
#include "common/ErrorTrap.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Strings.h"

QString gsStringParse(const QString& isText, const QString& isDelimiters, int16_t& ionPos, bool& obError) {
    ErrorTrap trap("modStringParse", "gsStringParse", obError);
    QString field;
    trap(10, [&] {
        if (ionPos < 1) ionPos = 1;
        if (ionPos > Len(isText)) {
            field = Chr(0);
            return;
        }
        for (QChar delimiter : isDelimiters) {
            const long found = InStr(ionPos, isText, QString(delimiter));
            if (found > 0) {
                field = Mid(isText, ionPos, found - ionPos);
                ionPos = checkedInt(found + Len(isDelimiters));
                return;
            }
        }
        field.clear();
    });
    return field;
}
