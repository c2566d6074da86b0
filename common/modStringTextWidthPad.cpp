#include "common/modStringTextWidthPad.h"
#include "common/ErrorTrap.h"

QString gsStringTextWidthPad(const TextMeasure& ioObject, const QString& isText, int16_t inWidth, bool& obError) {
    ErrorTrap trap("modStringTextWidthPad", "gsStringTextWidthPad", obError);
    QString padded = isText;
    trap(10, [&] {
        padded = isText;
        double width = ioObject.TextWidth(padded);
        while (width < inWidth) {
            padded += QLatin1Char(' ');
            const double wider = ioObject.TextWidth(padded);
            // A font whose blank has no width would never reach the goal.
            if (!(wider > width)) break;
            width = wider;
        }
    });
    return padded;
}
