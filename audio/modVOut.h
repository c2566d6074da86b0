#pragma once
#include <QString>

// modVOut: the drive voltage. Tests give their level as an RMS voltage at the
// sound-board output (active units) or at the power amplifier's output
// (passive units); two voltmeter calibrations, both taken on a full-scale
// 1 kHz sine, turn that voltage into the test signal's peak amplitude.
// The values live in memory and reach the per-user settings only through
// gVOutSave.

extern float gfVOutSoundboard;        // Vrms at the board for a full-scale sine; 0 = not calibrated
extern float gfVOutAmp;               // Vrms at the amplifier for the same signal; 0 = not calibrated
extern float gfVOutAmpGain;           // gfVOutAmp / gfVOutSoundboard when both are set, else 1.0
extern bool gbVOutPositivePolarity;   // false: the output wiring is reversed

// What an uncalibrated output stands in for: the drive routine and the test
// editor's drive range both use them.
constexpr float kVOutSoundboardFallback = 2.0f;   // Vrms
constexpr float kVOutAmpFallback = 40.0f;         // Vrms

// Sets the test signal's peak amplitude for ifVOut Vrms, given at the board
// (ibAtSoundboard, the test's Active_Flag) or at the amplifier. 0 V or less
// means silence.
void gVOutSet(float ifVOut, bool ibAtSoundboard, bool& obError);

// Plays a full-scale 1 kHz tone and asks for the voltmeter reading at the
// amplifier (ibAmp) or the board. Returns the stored reading as text, or an
// empty text when cancelled or no positive reading was entered.
QString gsVOutCalibrate(bool ibAmp, bool& obError);

// Start-up: loads the four settings and checks for a changed sound board.
void gVOutGetSettingsValidate(bool& obError);

// Writes the four settings.
void gVOutSave(bool& obError);

// Stands in for a missing calibration (one per call, with a warning) and sets
// gfVOutAmpGain.
void gVOutCaliValidSetAmpGain(bool ibAtSoundboard, bool& obError);

float mfVOutCalibrateGetVoltage(bool ibAmp, bool& obError);
void mVOutCalibrateSetUp(bool& obError);
