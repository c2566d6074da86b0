#pragma once
#include "platform/ui/CommandButton.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UpDown.h"

// Asks for one number within limits (a unit's serial number, a meter reading).
class frmInputNumber : public Form {
public:
    frmInputNumber();

    // Starts with ifValue in the user locale's form; keys step it by
    // ifResolution (Shift x 10, Ctrl x 100). Only a value from ifMin to ifMax
    // closes the window; the result is that value in the user locale's form
    // ("1,5" under a comma locale). With ibAllowCancel, Cancel, Esc and the close
    // box give ""; without it there is no Cancel button and Esc and the close
    // box accept the box's value exactly as OK does. The up-down control shows
    // for whole numbers (ibInteger) only.
    static QString gsInputNumber(const QString& isHeader, const QString& isPrompt, float ifValue, float ifMax,
                                 float ifMin, float ifResolution, bool ibInteger, bool ibAllowCancel, bool& obError);

    Label* lblPrompt = nullptr;
    TextBox* txtNumber = nullptr;
    UpDown* updNumber = nullptr;
    CommandButton* cmdOK = nullptr;
    CommandButton* cmdCancel = nullptr;

private:
    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_KeyDown(int16_t& KeyCode, int16_t Shift);
    void Form_Unload(int16_t& Cancel);
    void txtNumber_KeyDown(int16_t& KeyCode, int16_t Shift);
    void txtNumber_KeyPress(int16_t& KeyAscii);
    void txtNumber_KeyUp(int16_t& KeyCode, int16_t Shift);
    // The range check on the box's text, then the value taken: false (after the
    // check's message, the focus back in the box) when the value is refused.
    bool mbAccept();

    bool mbAllowCancel = false;
    bool mbCancelled = false;
    bool mbAccepted = false;
    bool mbInteger = false;
    float mfMax = 0.0f;
    float mfMin = 0.0f;
    float mfStep = 0.0f;
    float mfValue = 0.0f;   // the accepted value
    QString msFormat;
};
