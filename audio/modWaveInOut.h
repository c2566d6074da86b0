#pragma once
#include "platform/sound/Sound.h"
#include <QString>
#include <cstdint>
#include <vector>

// modWaveInOut: the test signals and the two wave devices while they are open.
//
// Signals: a continuous sine whose loop ends on a whole cycle, a tone burst
// followed by silence, or a stepped sine sweep (logarithmic or linear, up, or
// up and back) whose phase runs on from step to step. The settings persist
// from one signal to the next and are changed only through the set routines.
//
// Playback and recording: two output buffers played as an endless loop, the
// switch from one signal to the next without a gap, recording a given number
// of samples while the output loops, the waits with their deadlines, closing.
// Everything runs on the user-interface thread; completion is found by polling
// the headers through the station's clock.
//
// Sample arrays are indexed from 0 as the station's routines write them:
// element 0 is never used and the samples occupy 1 to the upper bound
// (size() - 1). A recording of an array whose upper bound is N takes N samples.

// The largest signal in samples: what one 4,200,000-byte output buffer holds.
constexpr int32_t kWaveOutMaxSamples = 2099999;
constexpr uint32_t kWaveOutBufferBytes = 4200000;

// The sample rate of the signal last made through gWaveOutChange; the
// measurements also store the rate they get back here.
extern int32_t glWaveSampleRate;
// The open devices, 0 when closed. The output stays open, looping the last
// signal, from a measurement's first signal until it closes the output. The
// input is opened for each recording; once the samples are in, it is closed
// at the next switch or close (closing waits for the device, which then
// overlaps the new signal's way to the converter) or by the next recording.
extern HWAVEOUT glWaveOutHandle;
extern HWAVEIN glWaveInHandle;

// ---------------------------------------------------------------- signals

void gWaveOutSetShape(const QString& isShape, bool& obError);
// A continuous tone: waveform "Sine", frequency 1 and every other setting 0.
void gWaveOutSetSineFreq(float ifFreq, bool& obError);
// The amplitude: the peak sample value.
void gWaveOutSetVolume(int32_t ilVolume, bool& obError);
// Checks both frequencies first and stores nothing when either is out of
// range (with the range message); otherwise stores every setting. ifFreq2 0
// means no sweep; ifCycles 0 or less means no burst.
void gWaveOutSetFrequency1SweepBurst(float ifFreq1, float ifFreq2, float ifSeconds, bool ibLog, bool ibUpDown,
                                     int16_t inSteps, float ifCycles, float ifPeriodSeconds, bool& obError);
// True when 10 Hz <= ifFreq <= the output's top frequency; with ibMessage a
// frequency out of range is reported in a message box.
bool gbWaveOutFrequencyInRange(float ifFreq, bool ibMessage, bool& obError);
// Makes the current signal, copies it into oanSamples (same bounds) and returns
// its sample rate. A signal longer than kWaveOutMaxSamples is refused (error 9)
// before anything is written.
int32_t glWaveOutMake(std::vector<int16_t>& oanSamples, bool& obError);
// The station's alert: with audio prompts on, stores a logarithmic sweep of
// 255 steps from ifFreqFrom to ifFreqTo over ifSeconds. It plays nothing.
void gSoundSiren(float ifFreqFrom, float ifFreqTo, float ifSeconds, bool& obError);

// -------------------------------------------------------- playback and recording

// Makes the current signal into ioanSamples, opens the output with two buffers
// and plays the signal looping (ilLoops below 1: until told to stop); records
// into ioanRecord, re-dimensioned to cover the same time, when its upper bound
// is not 0. Returns the signal's sample rate.
int32_t glWaveOutOpenPrepMakeUpdate(int32_t ilLoops, std::vector<int16_t>& ioanSamples,
                                    std::vector<int16_t>& ioanRecord, bool& obError);
// Makes the current signal and switches the open output over to it: with
// ibReset false the old signal ends its current pass first, with ibReset true
// the new one starts at once. Reopens the output when the rate changed.
// Records into ioanRecord when its upper bound is not 0.
int32_t glWaveOutMakeUpdate(int32_t ilLoops, bool ibReset, std::vector<int16_t>& ioanSamples,
                            std::vector<int16_t>& ioanRecord, bool& obError);
// Switches the open output to the signal already made. Retry at a recording
// made with it that timed out or was refused plays the signal again from its
// start and records it again.
void mWaveOutUpdate(int32_t ilLoops, bool ibReset, std::vector<int16_t>& ioanRecord, bool& obError);
// Stops and closes the output; with ibReset false it first waits for the
// looping buffer to finish. Whatever fails, the device is reset, its buffers
// released and it is closed; the first failure is reported.
void gWaveOutClose(bool ibReset, bool& obError);
// Records the upper bound of ioanSamples samples without playing anything new:
// a signal just switched to is recorded from its first sample at the output
// converter, one playing for a while from now. 8-bit input arrives as 16-bit
// samples. A recording that does not fill within its capture time, a second
// of input latency and two seconds more is "Recording timed out"; Retry at
// that error, or at one the device reports when the recording stops or is
// read (its timing), makes the recording again.
void gWaveInRecord(int32_t ilRate, int16_t inBits, std::vector<int16_t>& ioanSamples, bool& obError);
// Set when the last recording lost samples (the stream dropped some on the
// way): it then ends with the error flag, as does one taken while the open
// output stood still. With gWaveInSetLossQuiet(true) such a loss shows no
// message, so that the caller can measure again.
extern bool gbWaveInLostSamples;
void gWaveInSetLossQuiet(bool ibQuiet);
// Waits, with a deadline, for the done flag of the buffer now selected (the one
// the next switch loads). "Loop still playing" and the error flag when it is
// not done in time.
void gWaveOutDone(bool& obError);
// The same wait for the other buffer: the one that played before the last
// switch. Once it is done the new signal is at the output converter.
void gWaveOutPreviousDone(bool& obError);
// The samples the open output has played since it was opened; 0 when closed.
int64_t glWaveOutPlayed(bool& obError);
int32_t glWaveOutMakeSetFormatEx(int16_t inBits, std::vector<int16_t>& oanSamples, bool& obError);
// Makes the signal and loads it into the current output buffer without playing it.
int32_t glWaveOutMakeLoadSetHdr(std::vector<int16_t>& oanSamples, bool& obError);
// isAction "Make", "Open", "SetHdr", or anything else to make and switch;
// stores the rate in glWaveSampleRate. oanSamples then holds the whole signal.
void gWaveOutChange(const QString& isAction, int32_t ilLoops, bool ibReset, bool ibAdjust,
                    std::vector<int16_t>& oanSamples, std::vector<int16_t>& ioanRecord, bool& obError);
