#pragma once
#include "platform/data/DataControl.h"
#include "platform/ui/ControlArray.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/OptionButton.h"

// The supervisor window: keeps the operator table (names and user levels),
// adds, copies and deletes operators, and starts the typical-unit finder.
// The main window re-reads its operator list after every change of the table.
class frmMSupervisor : public Form {
public:
    frmMSupervisor();

    DataControl dtaOperator{QStringLiteral("dtaOperator")};
    DataCombo* dcboOperator = nullptr;
    Label* lblData = nullptr;
    Frame* fraUserLevel = nullptr;
    ControlArray<OptionButton> optUserLevel;

    Menu* mnuFile = nullptr;
    Menu* mnuFileSelect = nullptr;
    Menu* mnuFileNew = nullptr;
    Menu* mnuFileDelete = nullptr;
    Menu* mnuFileSave = nullptr;
    Menu* mnuFileSaveAs = nullptr;
    Menu* mnuFileReset = nullptr;
    Menu* mnuFilePrin = nullptr;
    Menu* mnuFileExit = nullptr;
    Menu* mnuPairTyp = nullptr;
    Menu* mnuPairTypPairMatch = nullptr;
    Menu* mnuPairTypTypical = nullptr;
    Menu* mnuHelp = nullptr;
    Menu* mnuHelpHelp = nullptr;
    Menu* mnuHelpAboutVexo = nullptr;

private:
    // frmMSupervisor.cpp: layout, opening and closing, the record events
    void mLayout();
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void dcboOperator_Click();
    void dtaOperator_Reposition();
    void dtaOperator_Validate(int& Action, bool& Save);
    void dtaOperator_Error(const VbError& iError, int& Response);
    void optUserLevel_Click(int16_t Index);
    void mnuFileSelect_Click();
    void mnuFileExit_Click();
    void mnuPairTypPairMatch_Click();
    void mnuPairTypTypical_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAboutVexo_Click();
    bool mbHasCurrent();

    // frmMSupervisor_records.cpp: the File commands on the operator table
    void mnuFileNew_Click();
    void mnuFileDelete_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileReset_Click();
    QString msNewOperatorName(bool& obError);
    void mTraboDtaOperatorRefresh(bool& obError);
    void mDeleteEnable(bool& obError);
    void mComboShow(const QString& isName, bool& obError);

    bool mbDontProcess = false;
    bool mbLevelChanged = false;
    int16_t nListPtr = 0;
};
