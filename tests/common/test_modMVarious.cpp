// Engineer-window management and the microphone level on the shown main window
// of the demo station, on the jig.
#include "audio/modDigitalIO.h"
#include "common/modMVarious.h"
#include "common/modVarSystemParams.h"
#include "engineering/frmMESeq.h"
#include "engineering/frmMESys.h"
#include "supervisor/frmMTypical.h"
#include "platform/ui/PictureBox.h"
#include "test_editor/frmMETest.h"
#include "test_editor/frmMETestPolarity.h"
#include "test_editor/frmMETestResponse.h"
#include "tests/support/FakeDigitalPort.h"
#include "tests/support/MainWindowRig.h"

namespace {
class EngineerWindowsTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        demostation::build(home());
        installJig();
    }
    void TearDown() override {
        endOfScript();
        for (auto close : {+[] { unload<frmMETestResponse>(); }, +[] { unload<frmMETestPolarity>(); },
                           +[] { unload<frmMETest>(); }})
            close();
        MainWindowRig::TearDown();
    }
    frmVexo& startClean() {
        frmVexo& f = start();
        clearBoxes();
        return f;
    }
    static int count(const DrawSurface& iSurface, const QString& iText) {
        int n = 0;
        for (const auto& t : texts(iSurface)) n += t.first == iText ? 1 : 0;
        return n;
    }
    int32_t micVolume() { return jig().cardMixer().controlByRole(sound::MixerRole::MicVolume)->values[0]; }
    bool e = false;
};
}

TEST_F(EngineerWindowsTest, TheMainGridIsPlacedAndTheLimitLabelsComeBackOnlyInTheLessView) {
    frmVexo& f = startClean();
    ASSERT_EQ(f.cmdMoreStuff->Caption(), "More St&uff");
    f.picResponse->Move(0, 0, 1000, 1000);
    gVarTraboEngDrawRespGrid(true, e);
    EXPECT_FALSE(e);
    EXPECT_EQ(f.picResponse->Left(), 4260);
    EXPECT_EQ(f.picResponse->Top(), 700);
    EXPECT_EQ(f.picResponse->Width(), 4800);
    EXPECT_EQ(f.picResponse->Height(), 2550);
    EXPECT_TRUE(f.picResponse->Visible());
    EXPECT_GE(count(f.windowSurface(), QStringLiteral("(Hz)")), 1);
    EXPECT_FALSE(f.lblRefSearch->Visible());
    EXPECT_FALSE(f.lblTarget->Visible());

    drive::click(f.cmdMoreStuff);
    ASSERT_TRUE(f.cmdMoreStuff->Caption().contains(QLatin1String("Less")));
    f.lblRefSearch->setVisible(false);
    f.lblTarget->setVisible(false);
    gVarTraboEngDrawRespGrid(true, e);
    EXPECT_TRUE(f.lblRefSearch->Visible());
    EXPECT_TRUE(f.lblTarget->Visible());

    // The response test window's grid is drawn only while that window is open.
    gVarTraboEngDrawRespGrid(false, e);
    EXPECT_FALSE(isLoaded<frmMETestResponse>());
    frmMETestResponse& r = form<frmMETestResponse>();
    gVarTraboEngDrawRespGrid(false, e);
    EXPECT_EQ(r.picResponse->Left(), 600);
    EXPECT_EQ(r.picResponse->Top(), 200);
    EXPECT_GE(count(r.windowSurface(), QStringLiteral("(Hz)")), 1);
    EXPECT_FALSE(e);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(EngineerWindowsTest, SavePromptAsksWithAQuestionMarkAndReturnsTheAnswer) {
    startClean();
    answer({vbYes, vbNo, vbCancel});
    EXPECT_EQ(glVarSaveDataPrompt(QStringLiteral("Save changes to 'Demo'"), QStringLiteral("Sequence"), e), 6);
    EXPECT_EQ(glVarSaveDataPrompt(QStringLiteral("Save"), QStringLiteral("Test"), e), 7);
    EXPECT_EQ(glVarSaveDataPrompt(QStringLiteral("Save"), QStringLiteral("Test"), e), 2);
    ASSERT_EQ(boxes().size(), 3);
    EXPECT_EQ(boxes()[0].prompt, "Save changes to 'Demo'?");
    EXPECT_EQ(boxes()[0].title, "Sequence");
    EXPECT_EQ(boxes()[0].icon, vbQuestion);
    EXPECT_EQ(boxes()[0].answers, (QList<int>{vbYes, vbNo, vbCancel}));
}

TEST_F(EngineerWindowsTest, AnEditMarksResetOnTheTestTypeWindowAndOnTheOpenEditorOnly) {
    startClean();
    frmMETestPolarity& p = form<frmMETestPolarity>();
    ASSERT_FALSE(p.mnuFileReset->Enabled());
    // The closed editor is not opened to be marked.
    gVarSetResetEnabledTrue(p, e);
    EXPECT_TRUE(p.mnuFileReset->Enabled());
    EXPECT_FALSE(isLoaded<frmMETest>());

    frmMETest& t = form<frmMETest>();
    frmMETestResponse& r = form<frmMETestResponse>();
    gVarSetResetEnabledTrue(r, e);
    EXPECT_TRUE(r.menu(QStringLiteral("mnuFileReset"))->Enabled());
    EXPECT_TRUE(t.mnuFileReset->Enabled());
    EXPECT_FALSE(e);
}

TEST_F(EngineerWindowsTest, ClosingATestTypeWindowClosesTheEditorAndTheEditorClosesItsWindowsOnce) {
    frmVexo& f = startClean();
    // A test-type window closed by its close box takes the editor with it.
    form<frmMETest>();
    ASSERT_TRUE(f.gbTraboMETestLoaded);
    EXPECT_FALSE(f.cmdSupervisor->Enabled());
    frmMETestResponse& r = form<frmMETestResponse>();
    r.Show();
    r.close();
    EXPECT_FALSE(isLoaded<frmMETestResponse>());
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_FALSE(f.gbTraboMETestLoaded);
    EXPECT_TRUE(f.cmdSupervisor->Enabled());

    // The editor closing closes its open test-type windows, and they do not
    // close it a second time.
    form<frmMETest>();
    form<frmMETestResponse>().Show();
    form<frmMETestPolarity>().Show();
    EXPECT_TRUE(unload<frmMETest>());
    EXPECT_FALSE(isLoaded<frmMETestResponse>());
    EXPECT_FALSE(isLoaded<frmMETestPolarity>());
    EXPECT_FALSE(f.gbTraboMETestLoaded);
    EXPECT_TRUE(boxes().isEmpty()) << boxes().value(0).prompt.toStdString();

    // With no editor open, closing a test-type window opens nothing.
    form<frmMETestPolarity>().close();
    EXPECT_FALSE(isLoaded<frmMETest>());
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(EngineerWindowsTest, TheLevelSearchBringsTheStandardUnitIntoTheWindowWithTheOutputSetMeanwhile) {
    frmVexo& f = startClean();
    fakeport::Record board;
    fakeport::install(2, board);
    gnDigPort = 2;
    gDigInit(e);
    ASSERT_TRUE(gbDigThere);
    f.picResponse->clearOps();

    ResponseCurve resp;
    const int32_t volume = glVarRespScale(f, demostation::kResponseTest, 20, 20000, 100, 0.0f, 2.83f, false, resp, e);
    ASSERT_FALSE(e);
    ASSERT_EQ(resp.size(), 101u);
    const float peak = *std::max_element(resp.begin() + 1, resp.end());
    EXPECT_GE(peak, -6.0f);
    EXPECT_LE(peak, -2.0f);
    const int sweeps = count(*f.picResponse, demostation::kResponseTest);
    EXPECT_GE(sweeps, 1);
    EXPECT_LE(sweeps, 4);
    EXPECT_EQ(micVolume(), volume);
    EXPECT_EQ(count(*f.picResponse, QStringLiteral("Rng? ")), 0);
    // Set for the search, clear after it.
    ASSERT_FALSE(board.writes.empty());
    EXPECT_EQ(board.writes.front() & 8, 8);
    EXPECT_EQ(board.out & 8, 0);
    EXPECT_TRUE(boxes().isEmpty()) << boxes().value(0).prompt.toStdString();
}

TEST_F(EngineerWindowsTest, ADeadUnitEndsAtTheTopOfTheScaleWithTheWarningAndTheOutputClear) {
    frmVexo& f = startClean();
    fakeport::Record board;
    fakeport::install(2, board);
    gnDigPort = 2;
    gDigInit(e);
    jig().setUnit(sound::UnitModel::deadUnit());
    f.picResponse->clearOps();

    ResponseCurve resp;
    const int32_t volume = glVarRespScale(f, demostation::kResponseTest, 20, 20000, 100, 0.0f, 2.83f, false, resp, e);
    EXPECT_FALSE(e);
    EXPECT_EQ(volume, 65535);
    EXPECT_EQ(micVolume(), 65535);
    // Two sweeps at 65535 after the first one.
    EXPECT_EQ(count(*f.picResponse, demostation::kResponseTest), 3);
    const auto shown = texts(*f.picResponse);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.back(), qMakePair(QStringLiteral("Rng? "), int32_t{65535}));
    EXPECT_EQ(board.out & 8, 0);
}

TEST_F(EngineerWindowsTest, AFailedSweepLeavesTheTestInProgressOutputClear) {
    frmVexo& f = startClean();
    fakeport::Record board;
    fakeport::install(2, board);
    gnDigPort = 2;
    gDigInit(e);
    ResponseCurve resp;
    // A top frequency beyond the card's range stops the first sweep with its message.
    answer({vbOK});
    glVarRespScale(f, demostation::kResponseTest, 20, 200000, 100, 0.0f, 2.83f, false, resp, e);
    EXPECT_TRUE(e);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes().at(0).prompt.startsWith(QStringLiteral("Frequency ("))) << boxes().at(0).prompt.toStdString();
    ASSERT_FALSE(board.writes.empty());
    EXPECT_EQ(board.out & 8, 0);
}

TEST_F(EngineerWindowsTest, CloseAllClosesOnlyTheOpenWindowsAndShutdownClosesThemAll) {
    frmVexo& f = startClean();
    // Only the typical-unit window open: only it is closed. Its load step
    // finds no "Typical" rows on the demo station and says so.
    answer({vbOK});
    form<frmMTypical>();
    ASSERT_TRUE(f.gbTraboMTypicalLoaded);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "No 'Typical' test found: nothing to find the typical unit from");
    clearBoxes();
    gVarEngineerUnloadAll(e);
    EXPECT_FALSE(e);
    EXPECT_FALSE(isLoaded<frmMTypical>());
    EXPECT_FALSE(f.gbTraboMTypicalLoaded);
    EXPECT_FALSE(isLoaded<frmMETest>());

    // The editors open with the main window closing: they close first.
    form<frmMESeq>().Show();
    form<frmMESys>().Show();
    form<frmMETest>().Show();
    form<frmMETestResponse>().Show();
    closeWindow();
    EXPECT_FALSE(isLoaded<frmVexo>());
    for (bool open : {isLoaded<frmMESeq>(), isLoaded<frmMESys>(), isLoaded<frmMETest>(), isLoaded<frmMETestResponse>()})
        EXPECT_FALSE(open);
    EXPECT_TRUE(boxes().isEmpty()) << boxes().value(0).prompt.toStdString();
}
