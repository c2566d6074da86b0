#pragma once
#include "platform/data/DataControl.h"
#include "platform/ui/DataCombo.h"
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

    // Public flags of the window, False when it loads.
    bool gbTraboDontProcess = false;     // the sequence reposition flow does nothing while set
    bool gbTraboMESeqLoaded = false;     // the sequence editor is open
    bool gbTraboMETestLoaded = false;    // the test editor is open
    bool gbTraboMESysLoaded = false;     // the system settings window is open
    bool gbTraboMPairMatchLoaded = false;
    bool gbTraboMTypicalLoaded = false;

    // The station's data controls, one per record kind, opened at load on the
    // database files in the program folder; other windows reach into them.
    DataControl dtaSeq{QStringLiteral("dtaSeq")};
    DataControl dtaSeqCal{QStringLiteral("dtaSeqCal")};
    DataControl dtaTest{QStringLiteral("dtaTest")};
    DataControl dtaProdRep{QStringLiteral("dtaProdRep")};
    DataControl dtaOperator{QStringLiteral("dtaOperator")};
    DataControl dtaCurve{QStringLiteral("dtaCurve")};

    DataCombo* dcboSeq = nullptr;
    DataCombo* dcboOperator = nullptr;
    Label* lblSeq = nullptr;        // hidden, bound to Seq_Name
    Label* lblTest = nullptr;       // hidden, bound to Test_Name
    Label* lblSerial = nullptr;
    Label* lblTimeDate = nullptr;
    TimerControl* tmrClock = nullptr;

private:
    void Form_Load();
    void mFormLoadSetPath(bool& obError);
    void mFormLoadDtaRefreshSet(bool& obError);
    void Form_Unload(int16_t& Cancel);
    void tmrClock_Timer();
    SingleInstance* mInstance = nullptr;
};
