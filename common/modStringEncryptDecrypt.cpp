#include "common/modStringEncryptDecrypt.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Strings.h"

QString gsStringEncryptDecrypt(const QString& isText, bool& obError) {
    const QString title = QStringLiteral("modStringEncryptDecrypt.gsStringEncryptDecrypt");
    if (isText.isEmpty()) {
        gMsgBox(QStringLiteral("Input string 0 length!"), vbExclamation, title);
        return QString();
    }
    ErrorTrap trap("modStringEncryptDecrypt", "gsStringEncryptDecrypt", obError);
    QString out;
    for (int i = 0; i < isText.size(); ++i) {
        int16_t code = 0;
        code = gnGAscii(isText.at(i), obError);
        if (obError) return QString();
        const int next = code < 128 ? code + 128 : code - 128;
        if (next == 8 || next == 9 || next == 10 || next == 13) {
            gMsgBox(QStringLiteral("Invalid character ASCII(") + QString::number(next) + QStringLiteral(") in input string!"),
                    vbExclamation, title);
            return QString();
        }
        if (!trap(10, [&] { out += Chr(next); })) return QString();
    }
    return out;
}
