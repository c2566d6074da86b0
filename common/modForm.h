#pragma once
#include <QString>
#include <cstdint>

class Form;

// Window placement: keeps windows on the screen and where the user last put
// them. Coordinates are twips of the outer frame, 32-bit throughout (screens
// wider than 32,767 twips included). Saved positions live in the per-user
// settings under the window's key followed by ".Left" and ".Top".

// Moves the window to the wanted place, corrected so that it sticks out by at
// most 200 twips past any screen edge; True when no coordinate was corrected.
bool gbFormMoveOnScreen(Form& ioForm, int32_t ilLeft, int32_t ilTop, bool& obError);
// Places a secondary window beside its owner: right, else left, else below,
// else above (80 twips apart), the first that fits; True when not moved.
bool gbFormSecondaryPosition(const Form& iOwner, Form& ioForm, bool& obError);
// Reads a saved position (the defaults when none is saved); while the locale
// region has changed nothing is read and the outputs keep what they held.
void gFormSettingLeftTopGet(const QString& isKey, int32_t ilLeftDefault, int32_t ilTopDefault, int32_t& olLeft,
                            int32_t& olTop, bool& obError);
// Moves the window to the position saved under its name.
void gFormSettingLeftTopGetMove(Form& ioForm, int32_t ilLeftDefault, int32_t ilTopDefault, bool& obError);
// Saves a position; a coordinate of -480000 (a minimised window's) is not saved.
void gFormSettingLeftTopSave(const QString& isKey, int32_t ilLeft, int32_t ilTop, bool& obError);
// Shows the window (not modally) and brings it back from minimised.
void gFormShowRestore(Form& ioForm, bool& obError);
