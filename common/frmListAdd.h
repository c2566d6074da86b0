#pragma once
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/TextBox.h"
#include <QStringList>

// Asks for a new name while showing the names that already exist.
class frmListAdd : public Form {
public:
    frmListAdd();

    // Asks for a new name of at most inSMax characters beside iasList's
    // entries 1 .. upper bound. OK is offered only for a text that is not
    // blank and equals no entry (ignoring case and surrounding blanks).
    // In: ionListPtr > 0 starts the box with that 1-based entry. Out: the new
    // name trimmed, ionListPtr the list's selected position (0-based, -1 for
    // none); "" and -1 when cancelled (Cancel, Esc, the close box). inAMax,
    // the caller's table size, is not used by the dialog. iasKept names that
    // are refused like listed ones without being shown (a name the caller
    // keeps for itself).
    static QString gsAdd(const QStringList& iasList, int16_t inAMax, int16_t inSMax, const QString& isHeader,
                         int16_t& ionListPtr, bool& obError, const QStringList& iasKept = {});

    ListBox* lstList = nullptr;
    TextBox* txtList = nullptr;
    CommandButton* cmdOK = nullptr;
    CommandButton* cmdCancel = nullptr;

private:
    void txtList_Change();
    void txtList_KeyPress(int16_t& KeyAscii);
    void lstList_DblClick();
    void lstList_KeyPress(int16_t& KeyAscii);
    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void Form_Unload(int16_t& Cancel);
    // True when the name equals an entry of the list or a kept name, ignoring case and blanks.
    bool mbListed(const QString& isName) const;

    bool mbOK = false;   // OK ended the display; anything else is a cancel
    QStringList mKept;   // refused, not listed
};
