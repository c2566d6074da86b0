#include "platform/ui/Color.h"
#include <QGuiApplication>

namespace vbcolor {
QColor toQColor(int32_t iColor) {
    const uint32_t v = static_cast<uint32_t>(iColor);
    if (v & 0x80000000u) {
        const QPalette pal = QGuiApplication::palette();
        switch (v & 0xFFu) {
        case 0x05: return pal.color(QPalette::Base);
        case 0x08: return pal.color(QPalette::Text);
        case 0x0D: return pal.color(QPalette::Highlight);
        case 0x0E: return pal.color(QPalette::HighlightedText);
        case 0x11: return pal.color(QPalette::Disabled, QPalette::Text);
        case 0x12: return pal.color(QPalette::ButtonText);
        case 0x0F:
        default: return pal.color(QPalette::Button);
        }
    }
    return QColor(static_cast<int>(v & 0xFFu), static_cast<int>((v >> 8) & 0xFFu), static_cast<int>((v >> 16) & 0xFFu));
}

int32_t fromQColor(const QColor& iColor) {
    return static_cast<int32_t>(static_cast<uint32_t>(iColor.red()) | (static_cast<uint32_t>(iColor.green()) << 8) |
                                (static_cast<uint32_t>(iColor.blue()) << 16));
}
}
