#pragma once
#include "common/modNumberBox.h"
#include "common/modVarCrvFile.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UpDown.h"
#include <vector>

// The typical-unit window: its load step reads the batch logged as "Typical",
// finds the unit closest to the batch's ideal curve and shows the result on
// the main window's graph and surface. Shown, it lets the user change the
// averaging, the ideal and the minimum batch size and run again on the batch
// already read.
class frmMTypical : public Form {
public:
    frmMTypical();

    Label* lblTypBatchMin = nullptr;
    TextBox* txtTypBatchMin = nullptr;
    UpDown* updTypBatchMin = nullptr;
    Frame* fraAveraging = nullptr;
    OptionButton* optSimpleAveraging = nullptr;
    OptionButton* optSquaredAveraging = nullptr;
    OptionButton* optFourthAveraging = nullptr;
    Frame* fraIdeal = nullptr;
    OptionButton* optAverageIdeal = nullptr;
    OptionButton* optEnvelopeIdeal = nullptr;
    CommandButton* cmdDoTypical = nullptr;
    Menu* mnuFile = nullptr;
    Menu* mnuFileExit = nullptr;
    Menu* mnuHelp = nullptr;
    Menu* mnuHelpHelp = nullptr;
    Menu* mnuHelpAboutVexo = nullptr;

    void gReadBatchDoTypical(bool& obError);
    void gDoTypical(bool& obError);

private:
    // frmMTypical.cpp: layout, loading, the settings and the boxes
    void mLayout();
    void Form_Load();
    void Form_Unload(int16_t& Cancel);
    void mSettingsRead(bool& obError);
    void mClearPrinted();
    void txtTypBatchMin_Change();
    void txtTypBatchMin_Validate(bool& Cancel);
    void cmdDoTypical_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAboutVexo_Click();

    // frmMTypical_run.cpp: reading the batch and the run
    bool mbTypicalRowsRead(bool& obError);
    void mRowsMissingShow(const QString& isWhat);
    void mAddCRef(bool& obError);
    void mTypical(bool& obError);
    void mCurve2Curve(int32_t nUnit, std::vector<float>& afOut, bool& obError);
    QString msCurveNoAndSerial(int32_t nUnit, bool& obError);
    void mShowIdeal(const std::vector<float>& afIdeal, bool& obError);
    void mGenerateDifference(const std::vector<float>& afIdeal, std::vector<double>& adDiff, bool& obError);
    int32_t mnFindLeastDifference(const std::vector<double>& adDiff, bool& obError);
    void mShowMostTypical(int32_t nUnit, double dDiff, bool& obError);
    void mPrintLeftMargin(const QString& sText, int32_t lColour, bool bMargin, bool bKeepY, bool& obError);

    NumberBoxRule mRuleTypBatchMin;   // a batch of 2 to 999 units
    CurveLevels mafCurve;
    std::vector<int32_t> malSerial;
    int32_t mnUnits = 0;
    int16_t mnPoints = 0;
    int32_t mlFLo = 0;
    int32_t mlFHi = 0;
    int32_t nPrintY = 0;
    // Read with the "Typical" test: its sequence's calibration time and the
    // reference of its calibration row, never the main window's.
    double mdLastCali = 0.0;
    std::vector<float> mafRef;
};
