#pragma once
#include "audio/modResponseSub.h"
#include "platform/data/DataControl.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/PictureBox.h"

// The part of the operator's main window that the engineer windows, the
// supervisor's tools and the common modules reach: its open flags, the members
// they call, the data controls and the few controls they read or set. They
// include this header, not the whole window's.
class frmVexoView : public Form, public ResponseWindow {
public:
    // Public flags of the window, False when it loads.
    bool gbTraboDontProcess = false;     // the sequence reposition flow does nothing while set
    bool gbTraboMESeqLoaded = false;     // the sequence editor is open
    bool gbTraboMETestLoaded = false;    // the test editor is open
    bool gbTraboMESysLoaded = false;     // the system settings window is open
    bool gbTraboMPairMatchLoaded = false;
    bool gbTraboMTypicalLoaded = false;

    // The main window's members other windows call.
    virtual bool gbEngineerInit(bool& obError) = 0;
    virtual void gNameStationLabel(const QString& isStationName, bool& obError) = 0;
    virtual void gForceReCalAll(const QString& isTestName, bool& obError) = 0;
    virtual void gSupervisorCAEEnableSetFocus(bool& obError) = 0;

    // The station's data controls other windows read and refresh, opened at
    // load on the database files in the program folder.
    DataControl dtaSeq{QStringLiteral("dtaSeq")};
    DataControl dtaSeqCal{QStringLiteral("dtaSeqCal")};
    DataControl dtaTest{QStringLiteral("dtaTest")};
    DataControl dtaOperator{QStringLiteral("dtaOperator")};
    DataControl dtaCurve{QStringLiteral("dtaCurve")};

    // Controls other windows read or set (made in frmVexo_layout.cpp).
    CommandButton* cmdTest = nullptr;
    CommandButton* cmdSupervisor = nullptr;
    CommandButton* cmdMoreStuff = nullptr;
    DataCombo* dcboSeq = nullptr;
    DataCombo* dcboOperator = nullptr;
    PictureBox* picPolarity = nullptr;
    Label* lblRefSearch = nullptr;
    Label* lblTarget = nullptr;
    Label* lblSerial = nullptr;

protected:
    frmVexoView() : Form(QStringLiteral("frmVexo")) {}
};

// The main window, made and loaded on first use, as form<frmVexo>() gives it.
frmVexoView& gMainWindow();
// Whether the main window is loaded, without making it.
bool gMainWindowLoaded();
