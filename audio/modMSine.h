#pragma once
#include <QString>
#include <cstdint>

// modMSine, the sine test: a tone or a stepped sine sweep at a drive voltage,
// judged by the station's level reading against two limits, by the operator's
// Yes/No answer, or passed after playing.

struct SineTestSettings {
    QString sTestName;            // title of the operator's question
    float fLo_Hz = 0.0f;          // tone; sweep end point; measuring frequency
    float fHi_Hz = 0.0f;          // other sweep end point
    QString Swp_Type;             // "No Sweep", or "Log"/"Lin" with "Up" and/or "Down"
    float Delay_s = 0.0f;         // tone before the sweep or the reading
    float SwpDur_s = 0.0f;
    float Drive_V = 0.0f;         // Vrms; 0 plays nothing
    bool Active_Flag = false;     // the voltage is at the sound-board output
    bool Op_Decide = false;       // ask the operator
    bool Op_DecideY = false;      // Yes passes (else No passes)
    bool PC_Decide = false;       // the station measures and judges by the limits
    QString Op_Prompt;            // the question without its question mark
    int16_t fLo_Lim = 0;          // dB, inclusive
    int16_t fHi_Lim = 0;          // dB, inclusive
};

// Runs the test and returns the pass. ofLevel is set (dB) only when the
// station measures.
bool gbSine(const SineTestSettings& itypTest, float& ofLevel, bool& obError);

// The level in dB at the frequency after the delay (0 on error). The tone that
// sounds is the one the caller started.
float gfSineMeasureOne(float ifFreq, float ifDelay, float ifVOut, bool ibActive, bool& obError);

// Plays the start tone, waits the delay, then plays the sweep and waits its duration.
void mSineUsrSweep(float ifLo, float ifHi, const QString& isSweepType, float ifDelay, float ifDuration, float ifVOut,
                   bool ibActive, bool& obError);

// Starts a continuous tone looping when the voltage is above 0.
void mSetFreqVOut(float ifFreq, float ifVOut, bool ibActive, bool& obError);
