#pragma once
#include "platform/ui/Form.h"

// The system settings window. So far it holds its open flag; the settings
// fields and the drive-voltage calibration are built with the window itself.
class frmMESys : public Form {
public:
    frmMESys();

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
};
