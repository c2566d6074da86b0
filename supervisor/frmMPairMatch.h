#pragma once
#include "common/modNumberBox.h"
#include "common/modVarCrvFile.h"
#include "platform/data/DataControl.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/Menu.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UpDown.h"
#include <functional>
#include <vector>

// The pair-match window: a model with logged curves is chosen, its batch read,
// matched into pairs against an average and a worst limit, listed, printed,
// and the model's curves deleted, all of them or those of matched units. The
// four matching parameters are edited only while the sequence editor is open;
// their saved values govern the run either way.
class frmMPairMatch : public Form {
public:
    frmMPairMatch();

    DataControl dtaCurve{QStringLiteral("dtaCurve")};
    ComboBox* cboSeq = nullptr;
    Label* lblBatchSize = nullptr;
    TextBox* txtBatchSize = nullptr;
    Label* lblBatchStart = nullptr;
    TextBox* txtBatchStart = nullptr;
    UpDown* updBatchStart = nullptr;
    Label* lblBatchEnd = nullptr;
    TextBox* txtBatchEnd = nullptr;
    UpDown* updBatchEnd = nullptr;
    Label* lblAveLim = nullptr;
    TextBox* txtAveLim = nullptr;
    Label* lblWorstLim = nullptr;
    TextBox* txtWorstLim = nullptr;
    ListBox* lstPair = nullptr;
    Label* lblMatched = nullptr;
    CommandButton* cmdPairMatch = nullptr;
    CommandButton* cmdExit = nullptr;
    Menu* mnuFile = nullptr;
    Menu* mnuFileSelect = nullptr;
    Menu* mnuFileSep1 = nullptr;
    Menu* mnuFileDeleteMatched = nullptr;
    Menu* mnuFileDeleteAll = nullptr;
    Menu* mnuFileSep2 = nullptr;
    Menu* mnuFilePrint = nullptr;
    Menu* mnuFileSep3 = nullptr;
    Menu* mnuFileExit = nullptr;
    Menu* mnuHelp = nullptr;
    Menu* mnuHelpHelp = nullptr;
    Menu* mnuHelpAbout = nullptr;

private:
    // frmMPairMatch_layout.cpp
    void mLayout();

    // frmMPairMatch.cpp: loading, the model list, the batch, the parameters
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void mParametersRead(bool& obError);
    void mParametersWrite(bool& obError);
    void mCboModelFill(bool& obError);
    void mEngineerCtrlsEnable(bool ibEnabled, bool& obError);
    void mMatchedClear(bool& obError);
    void mRefillLstPair(bool& obError);
    void mBatchRead(bool& obError);
    void cboSeq_Click();
    void cboSeq_KeyDown(int16_t& KeyCode, int16_t Shift);
    void cmdExit_Click();
    void mnuFileSelect_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();

    // frmMPairMatch_parameters.cpp: the size rule and the four number boxes
    void txtBatchSize_Change();
    void txtBatchStart_Change();
    void txtBatchEnd_Change();
    void txtAveLim_Change();
    void txtWorstLim_Change();
    void txtBatchStart_Validate(bool& Cancel);
    void txtBatchEnd_Validate(bool& Cancel);
    void txtAveLim_Validate(bool& Cancel);
    void txtWorstLim_Validate(bool& Cancel);
    void mBatchStartRule(bool ibSizeChange, bool& obError);
    void mSpinnerRange(UpDown& ioSpinner, int32_t ilMin, int32_t ilMax, bool& obError);
    float mfBoxNumber(const TextBox& iBox) const;
    int32_t mlBoxWhole(const TextBox& iBox) const;

    // frmMPairMatch_run.cpp: the run, deleting curves, the report
    void cmdPairMatch_Click();
    void mDeleteCurves(bool ibOnlyMatched, bool& obError);
    void mnuFileDeleteMatched_Click();
    void mnuFileDeleteAll_Click();
    void mnuFilePrint_Click();

    // How each of the four parameter boxes takes keys and is checked.
    NumberBoxRule mRuleBatchStart, mRuleBatchEnd, mRuleAveLim, mRuleWorstLim;

    // The batch of the chosen model, as the last read left it.
    CurveLevels mafCurve;
    std::vector<int32_t> malSerial;
    int16_t mnPoints = 0;
    int16_t mnPairs = 0;
    // Units paired by the last run (element 0 unused); what Delete Matched deletes.
    std::vector<bool> mabMatched;
};
