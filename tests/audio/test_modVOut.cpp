// The drive voltage: the amplitude a voltage gives, the voltmeter calibration
// through the number dialog, what the jig's voltmeter then reads, the stand-ins
// for missing calibrations and the per-user settings.
#include "audio/modVOut.h"
#include "common/frmInputNumber.h"
#include "platform/os/AppInfo.h"
#include "platform/vb/Locale.h"
#include "platform/os/Settings.h"
#include "platform/vb/Conversions.h"
#include "tests/support/AudioRig.h"

using sound::JigPoint;

namespace {
class VOut : public AudioRig {
protected:
    // The peak of the signal the amplitude now makes (a tone at a quarter of the
    // rate, so that its samples hit the peak).
    static int32_t amplitude() {
        bool e = false;
        gWaveOutSetSineFreq(11025.0f, e);
        std::vector<int16_t> s;
        glWaveOutMake(s, e);
        EXPECT_FALSE(e);
        int32_t peak = 0;
        for (size_t i = 1; i < s.size(); ++i) peak = std::max<int32_t>(peak, s[i]);
        return peak;
    }
    // The engineer calibrates one output: OK to the meter notice, then the
    // voltmeter's reading typed with two decimals in the user's form.
    QString calibrate(sound::JigBackend& ioJig, bool iAmp, QString* oTyped = nullptr) {
        answer({vbOK});
        expectModal<frmInputNumber>([&ioJig, iAmp, oTyped](frmInputNumber& f) {
            EXPECT_EQ(f.Caption(), QStringLiteral("Calibrating Output Voltage"));
            EXPECT_EQ(f.lblPrompt->Caption(), QStringLiteral(" Voltmeter reading (Vrms)"));
            vclock::advance(1500);
            const double v = ioJig.voltmeter(iAmp ? JigPoint::AmplifierOutput : JigPoint::SoundBoardOutput);
            const QString typed = userlocale::user().toString(v, 'f', 2);
            if (oTyped) *oTyped = typed;
            retype(*f.txtNumber, typed);
            drive::click(f.cmdOK);
        });
        bool e = false;
        const QString r = gsVOutCalibrate(iAmp, e);
        EXPECT_FALSE(e);
        EXPECT_TRUE(silent(ioJig));
        return r;
    }
    // Calibrates the board of a jig whose converter gives 1.77 V, then drives 1 V at the board.
    void calibrateAndDriveOneVolt() {
        sound::JigConfig cfg = sound::JigConfig::standard();
        cfg.dacFullScaleVrms = 1.77;
        sound::JigBackend& jig = station(cfg);
        QString typed;
        EXPECT_EQ(calibrate(jig, false, &typed), typed);
        EXPECT_NEAR(gfVOutSoundboard, 1.77, 0.006);
        const MsgBoxCall meter = boxes().at(0);
        EXPECT_EQ(meter.prompt, QStringLiteral("You will need a meter to measure AC Volts.\r\nDisconnect any load or "
                                               "test unit and connect the meter across the soundboard output."));
        EXPECT_EQ(meter.title, QStringLiteral("Calibrating Output Voltage"));
        EXPECT_EQ(meter.answers, (QList<int>{vbOK, vbCancel}));

        bool e = false;
        gVOutSet(1.0f, true, e);
        playTone(1000.0f);
        EXPECT_FALSE(e);
        EXPECT_NEAR(jig.voltmeter(JigPoint::SoundBoardOutput), 1.0, 0.005);
        EXPECT_EQ(boxes().size(), 1);
    }
    // Nothing plays any more: the output was last closed, or never opened.
    static bool silent(sound::JigBackend& ioJig) {
        bool open = false;
        for (const sound::JigEvent& ev : ioJig.events()) {
            if (ev.what.startsWith(QStringLiteral("waveOutOpen"))) open = true;
            if (ev.what == QStringLiteral("waveOutClose")) open = false;
        }
        return !open;
    }
    bool error = false;
};
}

TEST_F(VOut, TheAmplitudeOfAVoltageAtTheBoardAndAtTheAmplifier) {
    station();
    calibrated(2.0f, 40.0f);
    gVOutSet(1.0f, true, error);
    EXPECT_EQ(amplitude(), 16384);   // CLng(16383.5), halves to even
    gVOutSet(2.0f, true, error);
    EXPECT_EQ(amplitude(), 32767);
    gVOutSet(10.0f, false, error);   // 0.5 V at the board
    EXPECT_EQ(amplitude(), 8192);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());

    answer({vbOK});
    gVOutSet(2.01f, true, error);
    EXPECT_TRUE(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, QStringLiteral("ifVOut out of range"));
    EXPECT_EQ(boxes()[0].title, appinfo::title());
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_EQ(amplitude(), 8192);

    error = false;
    answer({vbOK});
    gVOutSet(41.0f, false, error);   // 2.05 V at the board
    EXPECT_TRUE(error);
    EXPECT_EQ(boxes().size(), 2);
}

TEST_F(VOut, ABoardCalibratedUnderAnEnglishLocaleDrivesOneVolt) {
    calibrateAndDriveOneVolt();
}

TEST_F(VOut, ABoardCalibratedUnderAGermanLocaleDrivesOneVolt) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    calibrateAndDriveOneVolt();
}

TEST_F(VOut, TenVoltsAtTheAmplifierAfterBothCalibrations) {
    sound::JigConfig cfg = sound::JigConfig::standard();
    cfg.dacFullScaleVrms = 1.77;
    cfg.ampGain = 19.0;
    sound::JigBackend& jig = station(cfg);
    calibrate(jig, false);
    const QString amp = calibrate(jig, true);
    EXPECT_EQ(amp, CStr(gfVOutAmp));
    EXPECT_NEAR(gfVOutAmpGain, 19.0, 0.1);
    EXPECT_EQ(boxes()[1].prompt, QStringLiteral("You will need a meter to measure AC Volts.\r\nDisconnect any load "
                                                "or test unit and connect the meter across the amplifier output."));

    gVOutSet(10.0f, false, error);
    playTone(1000.0f);
    EXPECT_FALSE(error);
    EXPECT_NEAR(jig.voltmeter(JigPoint::AmplifierOutput), 10.0, 0.05);
}

TEST_F(VOut, NoDriveIsSilenceEvenAfterAFullScaleCalibrationTone) {
    sound::JigBackend& jig = station();
    calibrated(2.0f, 40.0f);
    gVOutSet(2.0f, true, error);   // full scale, as the calibration tone leaves it
    gVOutSet(0.0f, true, error);
    EXPECT_EQ(amplitude(), 0);
    playTone(1000.0f);
    EXPECT_LT(jig.voltmeter(JigPoint::AmplifierOutput), 0.001);
    gVOutSet(-1.0f, false, error);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(VOut, MissingCalibrationsAreStoodInForOneAtATime) {
    station();
    deleteUserSetting(QStringLiteral("gfVOutSoundboard"));   // never calibrated
    deleteUserSetting(QStringLiteral("gfVOutAmp"));
    deleteUserSetting(QStringLiteral("gbVOutPositivePolarity"));
    answer({vbOK});
    gVOutGetSettingsValidate(error);
    EXPECT_FALSE(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, QStringLiteral("The soundboard has not been calibrated\r\nThe engineer should be told"));
    EXPECT_EQ(boxes()[0].title, QStringLiteral("Vexo v1.000"));
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
    EXPECT_FLOAT_EQ(gfVOutSoundboard, 2.0f);
    EXPECT_FLOAT_EQ(gfVOutAmp, 0.0f);
    EXPECT_FLOAT_EQ(gfVOutAmpGain, 1.0f);
    EXPECT_TRUE(gbVOutPositivePolarity);

    gVOutSet(1.0f, true, error);   // at the board the amplifier is not needed
    EXPECT_EQ(boxes().size(), 1);
    answer({vbOK});
    gVOutSet(1.0f, false, error);
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[1].prompt, QStringLiteral("The amplifier has not been calibrated\r\nThe engineer should be told"));
    EXPECT_FLOAT_EQ(gfVOutAmpGain, 20.0f);
    EXPECT_FALSE(error);
}

TEST_F(VOut, AfterASoundBoardChangeAPassiveDriveUsesBothStandIns) {
    sound::JigBackend& jig = station();
    saveUserSetting(QStringLiteral("gfVOutSoundboard"), QStringLiteral("1.8"));
    saveUserSetting(QStringLiteral("gfVOutAmp"), QStringLiteral("30"));
    saveUserSetting(QStringLiteral("glMixerOutWaveVolumeStep"), QString::number(glMixerOutWaveVolumeStep + 1));
    answer({vbOK});
    gVOutGetSettingsValidate(error);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, QStringLiteral("Your sound board has changed\r\nYou have to recalibrate"));
    EXPECT_EQ(boxes()[0].title, QStringLiteral("Vexo v1.000"));
    EXPECT_FLOAT_EQ(gfVOutSoundboard, 0.0f);
    EXPECT_FLOAT_EQ(gfVOutAmp, 0.0f);

    // The jig's board gives 2 V and its amplifier 40 V, as the stand-ins assume.
    answer({vbOK, vbOK});
    gVOutSet(1.0f, false, error);
    ASSERT_EQ(boxes().size(), 3);
    EXPECT_TRUE(boxes()[1].prompt.startsWith(QStringLiteral("The soundboard has not")));
    EXPECT_TRUE(boxes()[2].prompt.startsWith(QStringLiteral("The amplifier has not")));
    playTone(1000.0f);
    EXPECT_FALSE(error);
    EXPECT_NEAR(jig.voltmeter(JigPoint::AmplifierOutput), 1.0, 0.01);
}

TEST_F(VOut, TheSettingsRoundTripAcrossLocales) {
    station();
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    calibrated(1.77f, 35.4f);
    gbVOutPositivePolarity = false;
    gVOutSave(error);
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutSoundboard")), QStringLiteral("1,77"));
    EXPECT_EQ(userSetting(QStringLiteral("gfVOutAmp")), QStringLiteral("35,4"));
    EXPECT_EQ(userSetting(QStringLiteral("gbVOutPositivePolarity")), QStringLiteral("0"));
    EXPECT_EQ(userSetting(QStringLiteral("glMixerOutWaveVolumeStep")), QString::number(glMixerOutWaveVolumeStep));

    setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    gfVOutSoundboard = gfVOutAmp = 0.0f;
    gbVOutPositivePolarity = true;
    gVOutGetSettingsValidate(error);
    EXPECT_FALSE(error);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_FLOAT_EQ(gfVOutSoundboard, 1.77f);
    EXPECT_FLOAT_EQ(gfVOutAmp, 35.4f);
    EXPECT_NEAR(gfVOutAmpGain, 20.0, 1e-5);
    EXPECT_FALSE(gbVOutPositivePolarity);

    gbVOutPositivePolarity = true;
    gVOutSave(error);
    EXPECT_EQ(userSetting(QStringLiteral("gbVOutPositivePolarity")), QStringLiteral("-1"));
}
