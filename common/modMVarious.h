#pragma once
#include "audio/modAudio.h"
#include "common/WindowRegistry.h"
#include <QString>
#include <cstdint>

class Form;
class ResponseWindow;

// modMVarious: management of the engineer and supervisor windows, and the
// automatic microphone level set before a response test is calibrated.

// True only while gVarConditionFrmMETestUnload unloads the test editor; the
// editor then skips its own unload work.
extern bool gbMETestConditionUnloading;

// Opens an engineer or supervisor window behind the engineer log-in: the window
// is made and shown (restored when minimised) only once access is granted, so a
// refused log-in leaves every window and open flag as it was.
// The main window's kind brings it forward the same way.
void gVarEngineerOpen(WindowKind iKind, bool& obError);
// Closes, in this order and each only while its open flag is set, the sequence
// editor, the system window, the test editor, the pair-matching and the
// typical-unit window; sets the error flag when one of them stays open.
void gVarEngineerUnloadAll(bool& obError);
// Draws the empty response grid on the main window (ibMainForm) or on the open
// response test window.
void gVarTraboEngDrawRespGrid(bool ibMainForm, bool& obError);
// Asks the message followed by "?" with Yes, No and Cancel; 6, 7 or 2.
int32_t glVarSaveDataPrompt(const QString& isMessage, const QString& isTitle, bool& obError);
// Marks edits as unsaved: enables File > Reset of the window and of the test editor.
void gVarSetResetEnabledTrue(Form& ioWindow, bool& obError);
// From the unload of a test-type window: closes the test editor unless it is
// itself closing.
void gVarConditionFrmMETestUnload(bool& obError);

// Finds the microphone record volume that puts the unit's loudest sweep point
// between -6 and -2 dB, sweeping on the window (the main window or the response
// test window) with the response measurement's arguments; afResp holds the
// last sweep. The test-in-progress output is set for the search.
int32_t glVarRespScale(ResponseWindow& frm, const QString& isTestName, float fStart, float fEnd, int16_t nPoints,
                       float fDelay, float fVOut, bool bActive, ResponseCurve& afResp, bool& obError);
