#include "audio/modVOut.h"
#include "audio/modMixer.h"
#include "audio/modWaveInOut.h"
#include "common/ErrorTrap.h"
#include "common/frmInputNumber.h"
#include "common/modGeneral.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Settings.h"
#include "platform/ui/MsgBox.h"
#include "platform/vb/Conversions.h"
#include <vector>

float gfVOutSoundboard = 0.0f;
float gfVOutAmp = 0.0f;
float gfVOutAmpGain = 1.0f;
bool gbVOutPositivePolarity = true;

namespace {
const char* kModule = "modVOut";
constexpr float kSoundboardFallback = kVOutSoundboardFallback;
constexpr float kAmpFallback = kVOutAmpFallback;
const QString kCalibrateTitle = QStringLiteral("Calibrating Output Voltage");
}

void gVOutSet(float ifVOut, bool ibAtSoundboard, bool& obError) {
    ErrorTrap trap(kModule, "gVOutSet", obError);
    // No drive is silence, not whatever the last signal (a full-scale
    // calibration tone, say) was played at.
    if (ifVOut <= 0.0f) {
        gWaveOutSetVolume(0, obError);
        return;
    }
    const bool bSoundboardMissing = gfVOutSoundboard == 0.0f;
    gVOutCaliValidSetAmpGain(ibAtSoundboard, obError);
    if (obError) return;
    // The check stands in for one calibration per call. When it stood in for the
    // board's and the drive is at the amplifier, the amplifier's must be stood in
    // for too before its gain is used: gain 1.0 would put a board's worth of
    // volts through a 40 V amplifier.
    if (bSoundboardMissing && !ibAtSoundboard) {
        gVOutCaliValidSetAmpGain(ibAtSoundboard, obError);
        if (obError) return;
    }
    float fBoardVOut = 0.0f;
    bool bInRange = false;
    int32_t lAmplitude = 0;
    if (!trap(10, [&] {
            fBoardVOut = ibAtSoundboard ? ifVOut : ifVOut / gfVOutAmpGain;
            bInRange = fBoardVOut <= gfVOutSoundboard;
            if (bInRange) lAmplitude = CLng(static_cast<double>(fBoardVOut) * 32767.0 / gfVOutSoundboard);
        }))
        return;
    if (!bInRange) {
        trap(20, [&] { gMsgBox(QStringLiteral("ifVOut out of range"), vbExclamation | vbOKOnly, appinfo::title()); });
        obError = true;
        return;
    }
    gWaveOutSetVolume(lAmplitude, obError);
}

void gVOutCaliValidSetAmpGain(bool ibAtSoundboard, bool& obError) {
    ErrorTrap trap(kModule, "gVOutCaliValidSetAmpGain", obError);
    QString sMissing;
    if (!trap(10, [&] {
            if (gfVOutSoundboard == 0.0f) {
                gfVOutSoundboard = kSoundboardFallback;
                sMissing = QStringLiteral("soundboard");
            } else if (gfVOutAmp == 0.0f && !ibAtSoundboard) {
                gfVOutAmp = kAmpFallback;
                sMissing = QStringLiteral("amplifier");
            }
        }))
        return;
    if (!sMissing.isEmpty()) {
        if (!trap(20, [&] {
                gMsgBox(QStringLiteral("The ") + sMissing + QStringLiteral(" has not been calibrated\r\n") +
                            QStringLiteral("The engineer should be told"),
                        vbExclamation | vbOKOnly, gsMainCaption);
            }))
            return;
    }
    trap(30, [&] {
        gfVOutAmpGain = gfVOutAmp != 0.0f && gfVOutSoundboard != 0.0f ? gfVOutAmp / gfVOutSoundboard : 1.0f;
    });
}

QString gsVOutCalibrate(bool ibAmp, bool& obError) {
    ErrorTrap trap(kModule, "gsVOutCalibrate", obError);
    QString sResult;
    int nAnswer = vbCancel;
    if (!trap(10, [&] {
            nAnswer = gMsgBox(QStringLiteral("You will need a meter to measure AC Volts.\r\n") +
                                  QStringLiteral("Disconnect any load or test unit and connect the meter across the ") +
                                  (ibAmp ? QStringLiteral("amplifier") : QStringLiteral("soundboard")) +
                                  QStringLiteral(" output."),
                              vbOKCancel, kCalibrateTitle);
        }))
        return sResult;
    if (nAnswer == vbCancel) return sResult;

    mVOutCalibrateSetUp(obError);
    float fReading = 0.0f;
    if (!obError) fReading = mfVOutCalibrateGetVoltage(ibAmp, obError);
    if (!obError && fReading > 0.0f) {
        trap(20, [&] {
            if (ibAmp) {
                gfVOutAmp = fReading;
                if (gfVOutSoundboard > 0.0f) gfVOutAmpGain = gfVOutAmp / gfVOutSoundboard;
                sResult = CStr(gfVOutAmp);
            } else {
                gfVOutSoundboard = fReading;
                sResult = CStr(gfVOutSoundboard);
            }
        });
    }
    // The tone stops whatever happened before.
    bool bCloseError = false;
    gWaveOutClose(true, bCloseError);
    if (bCloseError) obError = true;
    return obError ? QString() : sResult;
}

float mfVOutCalibrateGetVoltage(bool ibAmp, bool& obError) {
    ErrorTrap trap(kModule, "mfVOutCalibrateGetVoltage", obError);
    gMixerOutMasterSetVolume(65535, obError);
    if (obError) return 0.0f;
    const QString sReading =
        frmInputNumber::gsInputNumber(kCalibrateTitle, QStringLiteral(" Voltmeter reading (Vrms)"),
                                      ibAmp ? gfVOutAmp : gfVOutSoundboard, 99.0f, 0.0f, 0.01f, false, true, obError);
    if (obError) return 0.0f;
    float fReading = 0.0f;
    // The dialog answers in the user's locale ("1,98" under a comma locale).
    trap(10, [&] {
        double d = 0.0;
        if (!sReading.trimmed().isEmpty() && parseLocaleNumber(sReading, d)) fReading = CSng(d);
    });
    return fReading;
}

void mVOutCalibrateSetUp(bool& obError) {
    gWaveOutSetShape(QStringLiteral("Sine"), obError);
    if (obError) return;
    gWaveOutSetFrequency1SweepBurst(1000.0f, 0.0f, 0.0f, false, false, 0, 0.0f, 0.0f, obError);
    if (obError) return;
    gWaveOutSetVolume(32767, obError);
    if (obError) return;
    std::vector<int16_t> anSamples(1, 0);
    std::vector<int16_t> anRecord(1, 0);   // upper bound 0: no recording
    glWaveOutOpenPrepMakeUpdate(0, anSamples, anRecord, obError);
}

void gVOutGetSettingsValidate(bool& obError) {
    ErrorTrap trap(kModule, "gVOutGetSettingsValidate", obError);
    const QString sSoundboard = gsGGetSettingValidNumber(QStringLiteral("gfVOutSoundboard"), 0.0f, obError);
    if (obError) return;
    const QString sAmp = gsGGetSettingValidNumber(QStringLiteral("gfVOutAmp"), 0.0f, obError);
    if (obError) return;
    if (!trap(10, [&] {
            gfVOutSoundboard = CSng(Variant(sSoundboard));
            gfVOutAmp = CSng(Variant(sAmp));
        }))
        return;
    if (!trap(20, [&] {
            gbVOutPositivePolarity = CBool(Variant(userSetting(QStringLiteral("gbVOutPositivePolarity"),
                                                               QStringLiteral("-1"))));
        }))
        return;
    gVOutCaliValidSetAmpGain(false, obError);
    if (obError) return;
    int32_t lStoredSteps = 0;
    if (!trap(30, [&] {
            double d = 0.0;
            const QString s = userSetting(QStringLiteral("glMixerOutWaveVolumeStep"), QString());
            if (parseLocaleNumber(s, d)) lStoredSteps = CLng(d);
        }))
        return;
    if (lStoredSteps != 0 && lStoredSteps != glMixerOutWaveVolumeStep) {
        trap(40, [&] {
            gMsgBox(QStringLiteral("Your sound board has changed\r\nYou have to recalibrate"), vbExclamation | vbOKOnly,
                    gsMainCaption);
            gfVOutSoundboard = 0.0f;
            gfVOutAmp = 0.0f;
            gfVOutAmpGain = 1.0f;
        });
    }
}

void gVOutSave(bool& obError) {
    ErrorTrap trap(kModule, "gVOutSave", obError);
    if (!trap(10, [&] {
            saveUserSetting(QStringLiteral("gfVOutSoundboard"), CStr(gfVOutSoundboard));
            saveUserSetting(QStringLiteral("gfVOutAmp"), CStr(gfVOutAmp));
            saveUserSetting(QStringLiteral("gbVOutPositivePolarity"),
                            gbVOutPositivePolarity ? QStringLiteral("-1") : QStringLiteral("0"));
            saveUserSetting(QStringLiteral("glMixerOutWaveVolumeStep"), CStr(glMixerOutWaveVolumeStep));
        }))
        return;
    gVOutCaliValidSetAmpGain(false, obError);
}
