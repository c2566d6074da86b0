#include "common/modTextBoxError.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/TextBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"

bool gbTextBoxError(float ifMax, float ifMin, bool ibZeroRefused, const QString& isUnit, const QString& isFormat,
                    TextBox& ioText, bool& obError) {
    ErrorTrap trap("modTextBoxError", "gbTextBoxError", obError);
    bool refused = false;
    QString message;
    QString lowest, highest;
    const bool ok = trap(10, [&] {
        lowest = CStr(ifMin);
        highest = CStr(ifMax);
    });
    if (ok && ifMin > ifMax) {
        message = QStringLiteral("Error ifMin (") + lowest + QStringLiteral(") > ifMax(") + highest + QLatin1Char(')');
    } else if (ok) {
        const QString text = ioText.Text();
        const bool valid = gbGTextValidSingle(text, obError);
        if (!obError) {
            trap(20, [&] {
                // Typed text and limits are both Single: "9.9" passes a highest value of 9.9.
                const float v = valid ? CSng(Variant(text)) : 0.0f;
                if (valid && (v != 0.0f || !ibZeroRefused) && ifMin <= v && v <= ifMax) {
                    // Rewritten only in a format the caller gives: a plain box keeps what was typed.
                    if (isFormat.isEmpty()) return;
                    const QString shown = Format(v, isFormat);
                    if (text != shown) ioText.setText(shown);
                    return;
                }
                message = v == 0.0f && ibZeroRefused ? QStringLiteral("Non-zero value")
                                                     : QStringLiteral("In the range ") + lowest + QStringLiteral(" to ") + highest;
                if (!isUnit.isEmpty()) message += QStringLiteral(" (") + isUnit + QLatin1Char(')');
                message += QStringLiteral(" please!");
                refused = true;
            });
        }
    }
    if (!obError && !message.isEmpty()) trap(30, [&] { gMsgBox(message, vbExclamation, gsMainCaption); });
    if (refused && !obError) trap(40, [&] { ioText.SetFocusIfAble(); });
    return refused && !obError;
}
