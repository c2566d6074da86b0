// The editor's layout by test type: a walk over the types and states an
// engineer meets, checking the groups shown and enabled and the one type
// window loaded after each move.
#include "tests/support/TestEditorRig.h"
#include "platform/os/Settings.h"
#include <QLineEdit>

namespace {
class TestDisplayTest : public TestEditorRig {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        seed::add(seed::ResponseTest{.name = QStringLiteral("Resp"), .fLo = 100, .fHi = 10000,
                                     .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
        seed::add(seed::ResponseTest{.name = QStringLiteral("Typical"), .fLo = 100, .fHi = 10000,
                                     .layers = {{.fLo = 200, .fHi = 5000, .lim = 3.0f}}});
        seed::add(seed::PlainTest{.name = QStringLiteral("Pol"), .type = QStringLiteral("Polarity"), .fLo = 20, .fHi = 60});
        seed::add(seed::SineTest{.name = QStringLiteral("Measured"), .opDecide = false, .pcDecide = true, .loLim = -10.0f});
        seed::add(seed::SineTest{.name = QStringLiteral("Tone"), .sweep = QStringLiteral("No Sweep"), .opDecide = false});
        seed::add(seed::SineTest{.name = QStringLiteral("Swept"), .fLo = 100, .fHi = 1000, .sweep = QStringLiteral("Log Up"),
                                 .opDecide = true});
        seed::add(seed::PlainTest{.name = QStringLiteral("Dist"), .type = QStringLiteral("Ext Dist"), .fLo = 20, .fHi = 60});
        seed::add(seed::PlainTest{.name = QStringLiteral("Odd"), .type = QStringLiteral("Unknown"), .fLo = 20, .fHi = 60});
        completeTests();
    }
    // What the engineer sees of each group: shown (S/-) and enabled (E/-); a
    // hidden group keeps the enabling the previous test left it.
    static QString state(Control& iControl) {
        return QString(iControl.Visible() ? QLatin1Char('S') : QLatin1Char('-')) +
               QString(iControl.Enabled() ? QLatin1Char('E') : QLatin1Char('-'));
    }
    QStringList layout(frmMETest& t) {
        return {state(*t.txtFLo), state(*t.txtFHi), state(*t.txtPoint), state(*t.cboSweepType), state(*t.txtDuration),
                state(*t.chkOpDecide), state(*t.fraOpDecide) + state(*t.optOpDecideYes), state(*t.txtDelay) + state(*t.txtDriveV) + state(*t.chkActive),
                state(*t.chkFailExit)};
    }
    static QStringList loaded() {
        QStringList out;
        if (isLoaded<frmMETestResponse>()) out << QStringLiteral("response");
        if (isLoaded<frmMETestPolarity>()) out << QStringLiteral("polarity");
        if (isLoaded<frmMETestSine>()) out << QStringLiteral("sine");
        if (isLoaded<frmMETestExtDistortion>()) out << QStringLiteral("distortion");
        return out;
    }
};
}

TEST_F(TestDisplayTest, EachTypeLaysTheEditorOutAndOpensItsWindow) {
    frmMETest& t = open();
    struct Step {
        const char* test;
        QStringList layout;   // low, high, point, sweep type, duration, decision, pass options, delay/drive/active, fail exit
        QStringList windows;
    };
    const QList<Step> walk{
        {"Resp", {"SE", "SE", "SE", "--", "-E", "SE", "-E-E", "SESESE", "SE"}, {"response"}},
        {"Typical", {"S-", "S-", "S-", "--", "-E", "-E", "-E-E", "S-S-S-", "SE"}, {"response"}},
        {"Pol", {"--", "--", "--", "--", "-E", "-E", "-E-E", "SESESE", "SE"}, {"polarity"}},
        // Measured by the program: sweep type, high and duration locked; the
        // operator's options shown but off while the decision box is clear.
        {"Measured", {"SE", "S-", "--", "S-", "S-", "SE", "SES-", "SESESE", "SE"}, {"sine"}},
        {"Tone", {"SE", "S-", "--", "SE", "S-", "SE", "SES-", "SESESE", "SE"}, {"sine"}},
        {"Swept", {"SE", "SE", "--", "SE", "SE", "SE", "SESE", "SESESE", "SE"}, {"sine"}},
        {"Dist", {"-E", "-E", "--", "-E", "-E", "-E", "-E-E", "SESESE", "SE"}, {"distortion"}},
        // An unknown type leaves the groups as the previous test left them and opens no window.
        {"Odd", {"-E", "-E", "--", "-E", "-E", "-E", "-E-E", "SESESE", "SE"}, {}},
        {"Swept", {"SE", "SE", "--", "SE", "SE", "SE", "SESE", "SESESE", "SE"}, {"sine"}},
        {"Resp", {"SE", "SE", "SE", "--", "-E", "SE", "-E-E", "SESESE", "SE"}, {"response"}},
    };
    for (const Step& s : walk) {
        SCOPED_TRACE(s.test);
        pick(t, QString::fromLatin1(s.test));
        EXPECT_EQ(t.dcboTest->Text(), QString::fromLatin1(s.test));
        EXPECT_EQ(layout(t), s.layout);
        EXPECT_EQ(loaded(), s.windows);
        EXPECT_FALSE(t.mnuFileReset->Enabled());
    }
    EXPECT_EQ(saveQuestions(), 0);
}

TEST_F(TestDisplayTest, SineDecisionAndSweepTypeSwitchTheirGroups) {
    frmMETest& t = open();
    pick(t, QStringLiteral("Tone"));
    // Checking the decision clears the sine window's measure box and enables the options.
    tick(t.chkOpDecide);
    EXPECT_EQ(t.chkOpDecide->Value(), 1);
    EXPECT_TRUE(t.optOpDecideYes->isEnabled());
    EXPECT_TRUE(t.mnuFileReset->Enabled());
    EXPECT_TRUE(form<frmMETestSine>().mnuFileReset->Enabled());
    // "Log Up" enables high and duration.
    EXPECT_FALSE(t.txtDuration->isEnabled());
    choose(t.cboSweepType, QStringLiteral("Log Up"));
    EXPECT_TRUE(t.txtDuration->isEnabled());
    EXPECT_TRUE(t.txtFHi->isEnabled());
    // Typing in the sweep list is refused.
    focusIn(*t.cboSweepType);
    drive::type(QStringLiteral("L"));
    EXPECT_EQ(t.cboSweepType->Text(), "Log Up");
    // A name no test has puts the shown test's name back.
    answer({vbNo});
    focusIn(*t.dcboTest);
    t.dcboTest->lineEdit()->selectAll();
    drive::type(QStringLiteral("Nothing"));
    EXPECT_EQ(t.dcboTest->Text(), "Tone");
}

TEST_F(TestDisplayTest, TheTypeWindowFollowsTheEditorsWindowState) {
    frmMETest& t = open();
    ASSERT_TRUE(isLoaded<frmMETestResponse>());
    t.setWindowState(vbMinimized);
    EXPECT_EQ(form<frmMETestResponse>().WindowState(), vbMinimized);
    t.setWindowState(vbNormal);
    EXPECT_EQ(form<frmMETestResponse>().WindowState(), vbNormal);
    EXPECT_FALSE(t.gbFormResizing);
}

// A sine test shows its own sweep type when the editor opens on it or moves to
// it, whatever the test shown before; the engineer moves on without a refusal
// and nothing is written.
namespace {
class SineSweepShownTest : public TestEditorRig, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        TestEditorRig::SetUp();
        // A valid sweep reaches High = 2 x Low; a single tone may have Low = High.
        const QString sweep = QString::fromLatin1(GetParam());
        seed::add(seed::SineTest{.name = QStringLiteral("Tone"), .fLo = 1000, .fHi = sweep == "No Sweep" ? 1000 : 2000,
                                 .sweep = sweep, .opDecide = false});
        seed::add(seed::SineTest{.name = QStringLiteral("Single"), .fLo = 1000, .fHi = 1000,
                                 .sweep = QStringLiteral("No Sweep"), .opDecide = false});
        seed::add(seed::PlainTest{.name = QStringLiteral("Other"), .type = QStringLiteral("Polarity"), .fLo = 20, .fHi = 60});
        completeTests();
        saveUserSetting(QStringLiteral("frmMETest.dcboTest"), QStringLiteral("Tone"));
    }
    int refusals() const {
        int n = 0;
        for (const MsgBoxCall& b : boxes()) n += b.prompt.startsWith(QStringLiteral("In the range ")) ? 1 : 0;
        return n;
    }
};
}

TEST_P(SineSweepShownTest, OpenedOrReachedTheTestShowsItsSweepAndLetsTheEngineerMoveOn) {
    const QString sweep = QString::fromLatin1(GetParam());
    const QStringList tone = row(QStringLiteral("Tone"));
    const QStringList single = row(QStringLiteral("Single"));
    frmMETest& t = open();
    ASSERT_EQ(t.dcboTest->Text(), "Tone");
    EXPECT_EQ(t.cboSweepType->Text(), sweep);
    EXPECT_EQ(t.txtFHi->Text(), CStr(stored(QStringLiteral("Tone"), QStringLiteral("fHi_Hz"))));
    EXPECT_FALSE(t.mnuFileReset->Enabled());
    const QList<std::pair<const char*, const char*>> walk{
        {"Other", nullptr}, {"Single", "No Sweep"}, {"Tone", GetParam()}, {"Single", "No Sweep"}, {"Other", nullptr}};
    for (const auto& [test, shown] : walk) {
        SCOPED_TRACE(test);
        pick(t, QString::fromLatin1(test));
        EXPECT_EQ(t.dcboTest->Text(), QString::fromLatin1(test));
        if (shown != nullptr) { EXPECT_EQ(t.cboSweepType->Text(), QString::fromLatin1(shown)); }
        EXPECT_FALSE(t.mnuFileReset->Enabled());
    }
    EXPECT_EQ(refusals(), 0);
    EXPECT_EQ(saveQuestions(), 0);
    EXPECT_EQ(row(QStringLiteral("Tone")), tone);
    EXPECT_EQ(row(QStringLiteral("Single")), single);
}

INSTANTIATE_TEST_SUITE_P(EverySweepType, SineSweepShownTest,
                         ::testing::Values("No Sweep", "Log Up", "Log Down", "Log Up Down", "Log Down Up", "Lin Up",
                                           "Lin Down", "Lin Up Down", "Lin Down Up"),
                         [](const ::testing::TestParamInfo<const char*>& i) {
                             return QString::fromLatin1(i.param).remove(QLatin1Char(' ')).toStdString();
                         });
