#pragma once
#include <QString>
#include <cstdint>

class ComboBox;
class ListControl;

// The entry of a combo box of numbers nearest to a value (the exactly equal
// entry when there is one; the earlier of two equally near); -1 for an empty list.
int16_t gnCtrlCboFindStringNearestValue(ComboBox& ioCbo, const QString& isValue, bool& obError);

// Looks for an entry with exactly the text sought, from ionIndex (from 0 when
// that is outside the list) to the end, without wrapping round. ionIndex gives
// out where the search stopped (the last entry on a miss); True when found. An
// empty list gives False and leaves ionIndex as it was.
bool gbCtrlCboListFindString(ListControl& ioCtrl, const QString& isFind, int16_t& ionIndex, bool& obError);

// Moves a combo box's choice for a navigation key (Home, End, PageUp/PageDown by
// 8, Up or Right back one, Down or Left on one) and returns 0, the key code the
// caller keeps. An empty list is left alone.
int16_t gnCtrlCboNudge(int16_t inKeyCode, ComboBox& ioCbo, bool& obError);
