#pragma once
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBox.h"
#include <QStringList>

// The list pick: one entry of a list. Other routines may also fill and show it
// themselves (modeless, then modally) through its public controls.
class frmListGet : public Form {
public:
    frmListGet();

    // Lets the user pick one of iasList's entries 1 .. upper bound (entry 0 is
    // never used). In: iolPtr is the 1-based entry to preselect (else the first).
    // Out: the chosen entry, iolPtr its 1-based place; "" with iolPtr unchanged
    // when cancelled (Cancel, Esc, the close box) or nothing is chosen.
    // ibCancel False hides the Cancel button. The window reopens where the
    // user left it.
    static QString gsListGet(const QStringList& iasList, const QString& isHeader, bool ibCancel, int32_t& iolPtr,
                             bool& obError);

    ListBox* lstList = nullptr;
    CommandButton* cmdOK = nullptr;
    CommandButton* cmdCancel = nullptr;

    // The chosen list position (0-based); -1 until OK chooses one.
    int16_t mnListIndex = -1;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void lstList_Click();
    void lstList_DblClick();
    void lstList_KeyPress(int16_t& KeyAscii);
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void Form_Unload(int16_t& Cancel);
    // Widens the list (and the window) to the longest entry, at most 0.9 of the screen.
    void mListWidthSet(const QStringList& iasList, bool& obError);
};
