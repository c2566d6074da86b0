#pragma once
#include <QString>
#include <Qt>
#include <cstdint>

class QKeyEvent;

// The key codes, shift mask and character codes the windows' key events carry:
// KeyDown and KeyUp get the key's code (letters 65-90 whatever the case, digits
// 48-57, F1 112, the navigation keys 33-40, Delete 46) and the shift mask;
// KeyPress gets the character's code, which a handler may replace or set to 0.
enum VbKeyCode : int16_t {
    vbKeyBack = 8, vbKeyTab = 9, vbKeyClear = 12, vbKeyReturn = 13, vbKeyShift = 16, vbKeyControl = 17,
    vbKeyMenu = 18, vbKeyPause = 19, vbKeyCapital = 20, vbKeyEscape = 27, vbKeySpace = 32,
    vbKeyPageUp = 33, vbKeyPageDown = 34, vbKeyEnd = 35, vbKeyHome = 36,
    vbKeyLeft = 37, vbKeyUp = 38, vbKeyRight = 39, vbKeyDown = 40,
    vbKeySnapshot = 44, vbKeyInsert = 45, vbKeyDelete = 46, vbKeyHelp = 47,
    vbKey0 = 48, vbKey9 = 57, vbKeyA = 65, vbKeyZ = 90,
    vbKeyNumpad0 = 96, vbKeyNumpad9 = 105, vbKeyMultiply = 106, vbKeyAdd = 107, vbKeySubtract = 109,
    vbKeyDecimal = 110, vbKeyDivide = 111, vbKeyF1 = 112, vbKeyF12 = 123,
};
enum VbShift : int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

namespace keycodes {
// The key code of a key event; 0 for a key the station has no code for.
int16_t keyCode(const QKeyEvent& iEvent);
// The shift mask of a set of modifiers: 1 Shift, 2 Ctrl, 4 Alt, added together.
int16_t shiftMask(Qt::KeyboardModifiers iModifiers);
// The shift mask while a key event happens: pressing Shift, Ctrl or Alt counts
// that key as held, releasing it as no longer held.
int16_t shiftMask(const QKeyEvent& iEvent);
// The character code a key press types: Backspace 8, Return and keypad Enter 13,
// Escape 27, Ctrl+A..Ctrl+Z 1-26 (Ctrl+C 3, Ctrl+V 22, Ctrl+X 24), printable
// characters by their Windows-1252 code; 0 when the key types nothing (arrows,
// F-keys, Delete, Alt combinations, Tab, which moves the focus).
int16_t charCode(const QKeyEvent& iEvent);
// The key and text of a key press that types a given character code.
Qt::Key qtKeyOfChar(int16_t iCode);
QString textOfChar(int16_t iCode);
// The Qt key and modifiers of a key code and shift mask (menu shortcuts).
int16_t keyCodeOfQtKey(int iQtKey, bool iKeypad);
}
