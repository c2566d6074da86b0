#pragma once
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

// What the four test-type windows share: File > Reset, enabled once an edit is
// not saved, and closing the test editor when one of them closes.
class METestTypeForm : public Form {
public:
    explicit METestTypeForm(const QString& iName, const QString& iCaption);

    Menu* mnuFile = nullptr;
    Menu* mnuFileReset = nullptr;

private:
    void Form_Unload(int16_t& Cancel);
};
