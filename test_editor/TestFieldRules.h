#pragma once
// The rules of the test editor's sweep, timing and drive boxes, and the values
// a new test starts with; the editor reads its boxes and passes the figures.
#include "platform/vb/Variant.h"
#include <QList>
#include <QStringList>
#include <QPair>
#include <QString>
#include <cstdint>

namespace testfields {

constexpr int32_t kFLoMin = 20;
constexpr int32_t kFHiMax = 20000;
constexpr int32_t kPointMin = 20;
constexpr int32_t kPointMax = 100;
constexpr float kDurationMin = 0.5f;
constexpr float kDurationMax = 9.9f;
constexpr int kMaxTests = 256;

// A layer's band as the layer window shows it: on, start and end in hertz.
struct LayerBand {
    bool on = false;
    int32_t fLo = 0;
    int32_t fHi = 0;
};

// The largest delay: a polarity test measures within its 2-second pulse window.
float delayMax(const QString& isType);
QString delayFormat(const QString& isType);
float delayStep(const QString& isType);

// The drive limit in volts: the board's output for an active unit, the
// amplifier's for a passive one; an uncalibrated output (0) uses its fallback.
float driveMax(bool ibActive, float ifSoundboard, float ifAmp, float ifSoundboardFallback, float ifAmpFallback);

// The drive as shown for a record: the shortest general form, with the
// decimal character given.
QString driveText(float ifDrive, const QString& isDecimalChar);

// Lowest allowed high frequency: twice the low one, and, when the program
// judges a response test by its layers, no lower than any active layer's end.
int32_t fHiMin(int32_t ilLo, bool ibLayersBound, const QList<LayerBand>& iaLayers);

// Highest allowed low frequency from the high one (already raised to 40).
// Without layer bounds: 20000 for "No Sweep", else half the high one; with
// them (a response test with its layer window): half the high one and no
// higher than any active layer's start, unless the operator decides.
int32_t fLoMax(int32_t ilHi, bool ibLayerWindow, bool ibNoSweep, bool ibOpDecide, const QList<LayerBand>& iaLayers);

// The high frequency after a sweep type is chosen: at least twice the low one
// (at most 20000); -1 when it stands as it is.
int32_t sweepRaisedHigh(int32_t ilLo, int32_t ilHi);

// The fields a new test of the type is written with, in writing order; the
// layer groups of a response test follow the common values.
QList<QPair<QString, Variant>> newTestValues(const QString& isType, const QString& isName);

}

namespace testfields {

// The sine level limits in dB: the high one lies from the low one + 1 to 0,
// the low one from -99 to the high one - 1.
constexpr int32_t kSineLimHiMax = 0;
constexpr int32_t kSineLimLoMin = -99;
inline double sineLimHiMin(double idLo) { return idLo + 1.0; }
inline double sineLimLoMax(double idHi) { return idHi - 1.0; }

// The distortion limit in percent.
constexpr float kDistLimMin = 0.01f;
constexpr float kDistLimMax = 9.99f;

// The outside test set's fifteen measurement modes, in list order (mode = position + 1).
QStringList extDistortionModes();

// A try-out's result lines: the run number, two blanks and the sine level as
// " 00;-00" (whole dB), or the distortion reading as "00.00%".
QString sineResultLine(int iRun, float ifLevel);
QString distortionResultLine(int iRun, float ifReading);

}
