#pragma once
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"

class QLabel;

// The window shown while the station starts: product and version, legal notice
// and comments. Loading it shows it and paints it at once, since the start-up
// that follows keeps the user-interface thread busy; the main window unloads it
// when start-up is done, and any character key closes it sooner (a click does not).
class frmSplash : public Form {
public:
    frmSplash();

    Frame* fra1 = nullptr;
    QLabel* imgLogo = nullptr;
    Label* lblProductName = nullptr;
    Label* lblCopyright = nullptr;
    Label* lblComments = nullptr;
    Label* lblWarning = nullptr;

private:
    void Form_Load();
    void Form_KeyPress(int16_t& KeyAscii);
};
