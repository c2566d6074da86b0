#pragma once
#include "platform/data/DataControl.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"

// The engineer's sequence editor. So far it holds what the station's core asks
// of it: its sequence combo box over the sequence names and its open flag; the
// editor's records, slots and menus are built with the sequence editor.
class frmMESeq : public Form {
public:
    frmMESeq();

    DataControl dtaSeq{QStringLiteral("dtaSeq")};
    DataCombo* dcboSeq = nullptr;   // the sequence being edited, chosen by name

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
};
