#include "platform/os/ShownValue.h"
#include <QChar>
#include <QList>

namespace {
constexpr qsizetype kShownCharacters = 200;

// Characters that are not shown as themselves: controls (C0, DEL, C1, the
// terminal's escape sequences among them), invisible format characters such
// as the direction overrides, and the line and paragraph separators.
bool writtenOut(char32_t iChar) {
    switch (QChar::category(iChar)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return true;
    default: return false;
    }
}

// \xHH, \uHHHH or \UHHHHHHHH, as C writes a character by its number.
QString writtenAsNumber(char32_t iChar) {
    const int digits = iChar < 0x100 ? 2 : iChar < 0x10000 ? 4 : 8;
    const QString mark = digits == 2   ? QStringLiteral("\\x")
                         : digits == 4 ? QStringLiteral("\\u")
                                       : QStringLiteral("\\U");
    return mark + QString::number(uint(iChar), 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}
}

QString shownValue(const QString& iValue) {
    const QList<uint> chars = iValue.toUcs4();
    QString out = QStringLiteral("\"");
    for (qsizetype i = 0; i < chars.size() && i < kShownCharacters; ++i) {
        const char32_t c = chars[i];
        if (c == U'\\') out += QStringLiteral("\\\\");
        else if (c == U'"') out += QStringLiteral("\\\"");
        else if (c == U'\n') out += QStringLiteral("\\n");
        else if (c == U'\r') out += QStringLiteral("\\r");
        else if (c == U'\t') out += QStringLiteral("\\t");
        else if (writtenOut(c)) out += writtenAsNumber(c);
        else out += QString::fromUcs4(&c, 1);
    }
    out += QLatin1Char('"');
    if (chars.size() > kShownCharacters)
        out += QStringLiteral("... (%1 characters, cut after %2)").arg(chars.size()).arg(kShownCharacters);
    return out;
}
