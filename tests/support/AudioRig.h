#pragma once
// The station's sound side on the jig, as start-up leaves it: devices found,
// the mixer listed and ready; the drive voltage uncalibrated until the case
// calibrates it.
#include "audio/modMixer.h"
#include "audio/modVOut.h"
#include "audio/modWaveInOut.h"
#include "audio/modWaveInOutDevices.h"
#include "tests/support/DialogTest.h"
#include "tests/support/JigBench.h"

class AudioRig : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        gfVOutSoundboard = 0.0f;
        gfVOutAmp = 0.0f;
        gfVOutAmpGain = 1.0f;
        gbVOutPositivePolarity = true;
    }
    void TearDown() override {
        endOfScript();
        bool e = false;
        gWaveOutClose(true, e);
        sound::setBackend(nullptr);
        DialogTest::TearDown();
    }
    sound::JigBackend& station(const sound::JigConfig& iConfig = sound::JigConfig::standard()) {
        sound::JigBackend& jig = jigbench::installJig(iConfig);
        jigbench::mixerReady(jig);
        bool e = false;
        EXPECT_TRUE(gbWaveOutThere(e));
        EXPECT_TRUE(gbWaveInThere(e));
        mInitInfoShort(e);
        EXPECT_TRUE(gbMixerThere(e));
        EXPECT_FALSE(e);
        return jig;
    }
    static void calibrated(float iSoundboard, float iAmp) {
        gfVOutSoundboard = iSoundboard;
        gfVOutAmp = iAmp;
        gfVOutAmpGain = iAmp / iSoundboard;
    }
    // A continuous tone at the amplitude set, played long enough for the voltmeter.
    void playTone(float iFrequency) {
        bool e = false;
        gWaveOutSetSineFreq(iFrequency, e);
        std::vector<int16_t> s(1), r(1);
        glWaveOutOpenPrepMakeUpdate(0, s, r, e);
        EXPECT_FALSE(e);
        vclock::advance(1500);
    }
};
