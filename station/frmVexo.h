#pragma once
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/TimerControl.h"

class SingleInstance;

// The operator's main window. Its load step starts the station: one copy only
// (a second copy brings the first to the front and ends), the start-up texts,
// the station settings file and the clock. Its unload step is the shutdown.
class frmVexo : public Form {
    Q_OBJECT
public:
    frmVexo();

    Label* lblTimeDate = nullptr;
    TimerControl* tmrClock = nullptr;

private:
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void tmrClock_Timer();
    SingleInstance* mInstance = nullptr;
};
