// The rules of the test editor's sweep, timing and drive boxes, by tables.
#include "test_editor/TestFieldRules.h"
#include "platform/vb/Conversions.h"
#include <gtest/gtest.h>

using namespace testfields;

TEST(TestFieldRules, DelayRangeFormatAndStepFollowTheType) {
    struct Case { const char* type; float max; const char* format; float step; };
    for (const Case& c : {Case{"Polarity", 1.9999f, "0.0000", 0.0001f}, Case{"Response", 9.99f, "0.000", 0.001f},
                          Case{"Sine", 9.99f, "0.000", 0.001f}, Case{"Ext Dist", 9.99f, "0.000", 0.001f},
                          Case{"polarity", 9.99f, "0.000", 0.001f}}) {
        EXPECT_FLOAT_EQ(delayMax(QString::fromLatin1(c.type)), c.max) << c.type;
        EXPECT_EQ(delayFormat(QString::fromLatin1(c.type)), QString::fromLatin1(c.format)) << c.type;
        EXPECT_FLOAT_EQ(delayStep(QString::fromLatin1(c.type)), c.step) << c.type;
    }
}

TEST(TestFieldRules, DriveLimitUsesTheCalibrationOrItsFallback) {
    struct Case { bool active; float board; float amp; float limit; };
    for (const Case& c : {Case{true, 1.5f, 30.0f, 1.5f}, Case{false, 1.5f, 30.0f, 30.0f},
                          Case{true, 0.0f, 0.0f, 2.0f}, Case{false, 0.0f, 0.0f, 40.0f},
                          Case{false, 1.5f, 0.0f, 40.0f}, Case{true, 0.0f, 30.0f, 2.0f}})
        EXPECT_FLOAT_EQ(driveMax(c.active, c.board, c.amp, 2.0f, 40.0f), c.limit)
            << c.active << " " << c.board << " " << c.amp;
}

TEST(TestFieldRules, DriveIsShownInItsShortestForm) {
    EXPECT_EQ(driveText(1.0f, "."), "1");
    EXPECT_EQ(driveText(0.25f, "."), "0.25");
    EXPECT_EQ(driveText(0.25f, ","), "0,25");
    EXPECT_EQ(driveText(12.5f, "."), "12.5");
    EXPECT_EQ(driveText(0.0f, "."), "0");
}

TEST(TestFieldRules, SweepBoundsFollowTheActiveLayersOnlyWhileTheProgramJudges) {
    const QList<LayerBand> wide{{true, 45, 18000}, {true, 45, 18000}, {false, 10, 19999}};
    const QList<LayerBand> narrow{{true, 1000, 5000}, {false, 20, 20000}};
    // High: at least twice Low, and no lower than an active layer's end.
    EXPECT_EQ(fHiMin(45, true, wide), 18000);
    EXPECT_EQ(fHiMin(45, true, narrow), 5000);
    EXPECT_EQ(fHiMin(45, false, wide), 90);
    EXPECT_EQ(fHiMin(3000, true, narrow), 6000);
    EXPECT_EQ(fHiMin(45, true, {}), 90);
    // Low: no higher than half of High nor an active layer's start.
    EXPECT_EQ(fLoMax(18000, true, false, false, wide), 45);
    EXPECT_EQ(fLoMax(18000, true, false, false, narrow), 1000);
    EXPECT_EQ(fLoMax(18000, true, false, true, narrow), 9000);   // the operator decides
    EXPECT_EQ(fLoMax(1001, true, false, false, {}), 500);
    // Without the layer window: "No Sweep" leaves Low up to 20000.
    EXPECT_EQ(fLoMax(60, false, true, false, {}), 20000);
    EXPECT_EQ(fLoMax(60, false, false, false, {}), 30);
}

TEST(TestFieldRules, ChoosingASweepRaisesHighToTwiceLowAtMost20000) {
    struct Case { int32_t lo; int32_t hi; int32_t raised; };
    for (const Case& c : {Case{1000, 1000, 2000}, Case{1000, 2000, -1}, Case{1000, 5000, -1},
                          Case{12000, 15000, 20000}, Case{12000, 20000, -1}, Case{20, 39, 40}})
        EXPECT_EQ(sweepRaisedHigh(c.lo, c.hi), c.raised) << c.lo << " " << c.hi;
}

TEST(TestFieldRules, NewTestsStartWithTheirTypesValues) {
    auto valueOf = [](const QList<QPair<QString, Variant>>& iValues, const char* iField) {
        for (const auto& [f, v] : iValues)
            if (f == QLatin1String(iField)) return v;
        return Variant::null();
    };
    const auto polarity = newTestValues("Polarity", "P");
    EXPECT_EQ(CLng(valueOf(polarity, "fLo_Hz")), 20);
    EXPECT_EQ(CLng(valueOf(polarity, "fHi_Hz")), 60);
    EXPECT_EQ(CInt(valueOf(polarity, "Swp_Point")), 40);
    EXPECT_FALSE(CBool(valueOf(polarity, "Op_Decide")));
    EXPECT_TRUE(CBool(valueOf(polarity, "Pulse_LF")));
    EXPECT_EQ(CStr(valueOf(polarity, "Op_Prompt")), "Rattle");
    EXPECT_TRUE(valueOf(polarity, "Layer1_On").isNull());
    EXPECT_TRUE(valueOf(polarity, "PC_Decide").isNull());
    EXPECT_TRUE(valueOf(polarity, "Swp_Type").isNull());

    EXPECT_TRUE(CBool(valueOf(newTestValues("Sine", "S"), "Op_Decide")));

    const auto response = newTestValues("Response", "R");
    EXPECT_EQ(CLng(valueOf(response, "fLo_Hz")), 45);
    EXPECT_EQ(CLng(valueOf(response, "fHi_Hz")), 18000);
    for (int n = 1; n <= 6; ++n) {
        const std::string p = "Layer" + std::to_string(n);
        EXPECT_EQ(CInt(valueOf(response, (p + "_On").c_str())), n <= 2 ? 1 : 0) << n;
        EXPECT_EQ(CInt(valueOf(response, (p + "_Pt#").c_str())), 4) << n;
        EXPECT_EQ(CLng(valueOf(response, (p + "_fLo").c_str())), 45) << n;
        EXPECT_EQ(CLng(valueOf(response, (p + "_fMLo").c_str())), 0) << n;
        EXPECT_EQ(CLng(valueOf(response, (p + "_fHi").c_str())), 18000) << n;
        EXPECT_FLOAT_EQ(CSng(valueOf(response, (p + "_Lim").c_str())), float(n)) << n;
    }
    const auto dist = newTestValues("Ext Dist", "D");
    EXPECT_TRUE(CBool(valueOf(dist, "PC_Decide")));
    EXPECT_EQ(CInt(valueOf(dist, "ExtDistNo")), 1);
}

TEST(TestFieldRules, TryOutLinesShowTheRunAndTheReading) {
    const struct {
        int run;
        float level;
        const char* line;
    } sine[] = {{1, 5.0f, "1   05"}, {2, -23.0f, "2  -23"}, {3, 0.4f, "3   00"}, {4, -0.6f, "4  -01"}, {6, -104.0f, "6  -104"}};
    for (const auto& c : sine) EXPECT_EQ(sineResultLine(c.run, c.level), c.line) << c.run;
    EXPECT_EQ(distortionResultLine(1, 0.0f), "1  00.00%");
    EXPECT_EQ(distortionResultLine(6, 1.5f), "6  01.50%");
}
