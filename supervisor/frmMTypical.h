#pragma once
#include "platform/ui/Form.h"

// The typical-unit window. So far it holds its open flag; the batch and its
// typical unit are built with the window itself.
class frmMTypical : public Form {
public:
    frmMTypical();

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
};
