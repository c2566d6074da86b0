#include "platform/ui/KeyCodes.h"
#include "platform/vb/Strings.h"
#include <QKeyEvent>

namespace keycodes {
int16_t keyCodeOfQtKey(int k, bool iKeypad) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<int16_t>(k);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<int16_t>(iKeypad ? vbKeyNumpad0 + (k - Qt::Key_0) : k);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<int16_t>(vbKeyF1 + (k - Qt::Key_F1));
    switch (k) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Clear: return vbKeyClear;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return vbKeyShift;
    case Qt::Key_Control: return vbKeyControl;
    case Qt::Key_Alt: return vbKeyMenu;
    case Qt::Key_Pause: return vbKeyPause;
    case Qt::Key_CapsLock: return vbKeyCapital;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Print: return vbKeySnapshot;
    case Qt::Key_Insert: return vbKeyInsert;
    case Qt::Key_Delete: return vbKeyDelete;
    case Qt::Key_Help: return vbKeyHelp;
    case Qt::Key_Asterisk: return iKeypad ? vbKeyMultiply : 56;
    case Qt::Key_Plus: return iKeypad ? vbKeyAdd : 187;
    case Qt::Key_Minus: return iKeypad ? vbKeySubtract : 189;
    case Qt::Key_Period: return iKeypad ? vbKeyDecimal : 190;
    case Qt::Key_Comma: return iKeypad ? vbKeyDecimal : 188;
    case Qt::Key_Slash: return iKeypad ? vbKeyDivide : 191;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Equal: return 187;
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Greater: return 190;
    case Qt::Key_Less: return 188;
    case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 222;
    default: return 0;
    }
}

int16_t keyCode(const QKeyEvent& iEvent) {
    return keyCodeOfQtKey(iEvent.key(), iEvent.modifiers().testFlag(Qt::KeypadModifier));
}

int16_t shiftMask(Qt::KeyboardModifiers iModifiers) {
    int16_t m = 0;
    if (iModifiers & Qt::ShiftModifier) m |= vbShiftMask;
    if (iModifiers & Qt::ControlModifier) m |= vbCtrlMask;
    if (iModifiers & Qt::AltModifier) m |= vbAltMask;
    return m;
}

int16_t shiftMask(const QKeyEvent& iEvent) {
    int16_t m = shiftMask(iEvent.modifiers());
    int16_t own = 0;
    switch (iEvent.key()) {
    case Qt::Key_Shift: own = vbShiftMask; break;
    case Qt::Key_Control: own = vbCtrlMask; break;
    case Qt::Key_Alt: own = vbAltMask; break;
    default: return m;
    }
    return iEvent.type() == QEvent::KeyRelease ? static_cast<int16_t>(m & ~own) : static_cast<int16_t>(m | own);
}

int16_t charCode(const QKeyEvent& iEvent) {
    const int k = iEvent.key();
    const Qt::KeyboardModifiers m = iEvent.modifiers();
    const bool ctrl = m.testFlag(Qt::ControlModifier);
    const bool alt = m.testFlag(Qt::AltModifier);
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return alt ? 0 : vbKeyReturn;
    case Qt::Key_Backspace: return alt ? 0 : (ctrl ? 127 : vbKeyBack);
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: return 0;
    default: break;
    }
    if (ctrl && !alt) {
        if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<int16_t>(k - Qt::Key_A + 1);
        if (k == Qt::Key_BracketLeft) return 27;
        if (k == Qt::Key_Backslash) return 28;
        if (k == Qt::Key_BracketRight) return 29;
        return 0;
    }
    if (alt && !ctrl) return 0;
    const QString t = iEvent.text();
    if (t.isEmpty()) return 0;
    const QChar c = t.at(0);
    if (c.unicode() < 32 || c.unicode() == 127) return 0;
    const int a = ansiCode(c);
    return static_cast<int16_t>(a >= 0 ? a : c.unicode());
}

QString textOfChar(int16_t iCode) {
    if (iCode >= 0 && iCode <= 255) return Chr(iCode);
    return QString(QChar(static_cast<char16_t>(static_cast<uint16_t>(iCode))));
}

Qt::Key qtKeyOfChar(int16_t iCode) {
    switch (iCode) {
    case vbKeyBack: return Qt::Key_Backspace;
    case vbKeyReturn: return Qt::Key_Return;
    case vbKeyEscape: return Qt::Key_Escape;
    default: break;
    }
    const QString t = textOfChar(iCode).toUpper();
    if (t.size() == 1 && t.at(0).unicode() >= 0x20 && t.at(0).unicode() < 0x7F) return static_cast<Qt::Key>(t.at(0).unicode());
    return Qt::Key_unknown;
}
}
