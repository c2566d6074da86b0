// Number boxes as the windows build them (key filter, key stepping, key-up,
// range check on leaving), driven with keys and clicks; and the combo helpers.
#include "common/modControlCbo.h"
#include "common/modGeneral.h"
#include "common/modKeyDown.h"
#include "common/modKeyMouseIncrement.h"
#include "common/modKeyPressAscii.h"
#include "common/modNumberFormat.h"
#include "common/modTextBoxError.h"
#include "common/modUpDownSet.h"
#include "platform/ui/Beep.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UpDown.h"
#include "platform/vb/Conversions.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/StationTest.h"

inline void PrintTo(const QString& iText, std::ostream* oStream) { *oStream << '"' << iText.toStdString() << '"'; }

namespace {
// One number box wired the way every station window wires its number boxes,
// a second box to move to, and a combo box that navigates with gnCtrlCboNudge.
class frmNumber : public Form {
public:
    frmNumber() : Form(QStringLiteral("frmNumber")) {
        setClientSize(3360, 2400);
        txtNumber = new TextBox(this, QStringLiteral("txtNumber"), 435, 480, 1485, 285);
        txtOther = new TextBox(this, QStringLiteral("txtOther"), 435, 900, 1485, 285);
        cboList = new ComboBox(this, QStringLiteral("cboList"), 435, 1320, 1485, 315, vbComboDropdownList);
        txtNumber->KeyPress = [this](int16_t& KeyAscii) {
            bool e = false;
            KeyAscii = whole ? gnKeyPressAsciiInteger(KeyAscii, CLng(static_cast<double>(fMin)), e)
                             : gnKeyPressAsciiReal(KeyAscii, txtNumber->Text(), fMin, e);
        };
        txtNumber->KeyDown = [this](int16_t& KeyCode, int16_t Shift) {
            bool e = false;
            txtNumber->setText(gsKeyDown(KeyCode, Shift, txtNumber->Text(), fMax, fMin, fStep, sFormat, e));
        };
        txtNumber->KeyUp = [](int16_t&, int16_t) { gbKeyMouseIncrementActive = false; };
        txtNumber->Validate = [this](bool& Cancel) {
            bool e = false;
            Cancel = gbTextBoxError(fMax, fMin, false, sUnit, sFormat, *txtNumber, e);
        };
        txtNumber->Change = [this] { shown << txtNumber->Text(); };
        cboList->KeyDown = [this](int16_t& KeyCode, int16_t) {
            bool e = false;
            KeyCode = gnCtrlCboNudge(KeyCode, *cboList, e);
        };
        cboList->Click = [this] { clicks << cboList->ListIndex(); };
    }
    TextBox* txtNumber;
    TextBox* txtOther;
    ComboBox* cboList;
    bool whole = false;
    float fMax = 100.0f, fMin = 0.0f, fStep = 1.0f;
    QString sFormat, sUnit;
    QStringList shown;
    QList<int> clicks;
};

class NumberEntryTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        gsMainCaption = QStringLiteral("Vexo v1.000");
        gbKeyMouseIncrementActive = false;
        ASSERT_TRUE(drive::showActive(f));
        f.txtNumber->SetFocus();
    }
    void TearDown() override {
        endOfScript();
        unload<frmNumber>();
        StationTest::TearDown();
    }
    // Types into an emptied box; the text it ends with and the beeps it took.
    std::pair<QString, int> typed(const QString& iKeys) {
        f.txtNumber->setText(QString());
        const int before = beepCount();
        drive::type(iKeys);
        return {f.txtNumber->Text(), beepCount() - before};
    }
    frmNumber& f = form<frmNumber>();
};

struct FilterRow {
    bool whole;
    float min;
    const char* keys;
    const char* point;   // expected with "." as the decimal character
    const char* comma;   // expected with ","
    int beepsPoint;
    int beepsComma;
};

TEST_F(NumberEntryTest, TheKeyFiltersKeepOnlyWhatANumberMayHoldUnderEitherDecimalCharacter) {
    const FilterRow rows[] = {
        {false, 0, "12.5", "12.5", "125", 0, 1},   {false, 0, "12,5", "125", "12,5", 1, 0},
        {false, 0, "1.2.3", "1.23", "123", 1, 2},  {false, 0, "-3", "3", "3", 1, 1},
        {false, -10, "-3", "-3", "-3", 0, 0},      {false, -10, "--3-", "-3", "-3", 2, 2},
        {false, 0, "a1e", "1", "1", 2, 2},         {true, 0, "1.5", "15", "15", 1, 1},
        {true, 0, "-7", "7", "7", 1, 1},           {true, -5, "7-", "7-", "7-", 0, 0},
        {true, 0, "2,0", "20", "20", 1, 1},
    };
    for (const QLocale& loc : {QLocale(QLocale::English, QLocale::UnitedKingdom), QLocale(QLocale::German, QLocale::Germany)}) {
        setLocale(loc);
        const bool point = loc.decimalPoint() == QLatin1String(".");
        for (const FilterRow& r : rows) {
            f.whole = r.whole;
            f.fMin = r.min;
            const auto [text, beeps] = typed(QString::fromLatin1(r.keys));
            EXPECT_EQ(text, QString::fromLatin1(point ? r.point : r.comma)) << r.keys << (point ? " ." : " ,");
            EXPECT_EQ(beeps, point ? r.beepsPoint : r.beepsComma) << r.keys << (point ? " ." : " ,");
        }
    }
    // Backspace and Enter are kept; a second decimal character is refused even
    // when the first is selected and about to be replaced.
    setLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    f.whole = false;
    f.fMin = 0;
    f.txtNumber->setText(QStringLiteral("1.5"));
    f.txtNumber->setSelStart(0);
    f.txtNumber->setSelLength(3);
    const int before = beepCount();
    drive::type(QStringLiteral("."));
    EXPECT_EQ(f.txtNumber->Text(), "1.5");
    drive::key(Qt::Key_End);
    drive::key(Qt::Key_Backspace);
    drive::key(Qt::Key_Return);
    EXPECT_EQ(f.txtNumber->Text(), "1.");
    EXPECT_EQ(beepCount() - before, 1);
}

TEST_F(NumberEntryTest, AHeldKeyAcceleratesTheStepUntilKeyUpAndAutoRepeatReleasesDoNotResetIt) {
    f.txtNumber->setText(QStringLiteral("0"));
    f.shown.clear();
    drive::hold(Qt::Key_Up, 6);
    EXPECT_EQ(f.shown, (QStringList{"1", "3", "7", "14", "21", "28", "35"}));
    EXPECT_FALSE(gbKeyMouseIncrementActive);
    drive::key(Qt::Key_Up);   // a new press starts from the base step
    EXPECT_EQ(f.txtNumber->Text(), "36");
    drive::hold(Qt::Key_Down, 20);
    EXPECT_EQ(f.txtNumber->Text(), "0");   // never past the lowest value

    // Shift x10, Ctrl x100, the page keys x10 more.
    f.fMax = 1000.0f;
    f.fStep = 0.1f;
    f.sFormat = QStringLiteral("0.0");
    f.txtNumber->setText(QStringLiteral("50"));
    drive::key(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(f.txtNumber->Text(), "40.0");
    drive::key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(f.txtNumber->Text(), "50.0");
}

TEST_F(NumberEntryTest, HomeAndEndWithShiftOrCtrlGoToTheLimitsAndLettersGoToALimit) {
    f.sFormat = QStringLiteral("0.0");
    f.txtNumber->setText(QStringLiteral("3"));
    drive::key(Qt::Key_Home);
    EXPECT_EQ(f.txtNumber->Text(), "3");
    drive::key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(f.txtNumber->Text(), "100.0");
    const int before = beepCount();
    f.txtNumber->setText(QStringLiteral("100"));
    drive::key(Qt::Key_Up);   // at the highest value: a beep, and the text in the box's format
    EXPECT_EQ(f.txtNumber->Text(), "100.0");
    EXPECT_EQ(beepCount() - before, 1);
    drive::key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(f.txtNumber->Text(), "0.0");

    f.fMin = 0.5f;
    f.txtNumber->setText(QStringLiteral("abc"));
    drive::key(Qt::Key_Up);
    EXPECT_EQ(f.txtNumber->Text(), "0.5");
    f.txtNumber->setText(QStringLiteral("abc"));
    drive::key(Qt::Key_Down);
    EXPECT_EQ(f.txtNumber->Text(), "100");

    setLocale(QLocale(QLocale::German, QLocale::Germany));
    f.fStep = 0.5f;
    bool e = false;
    f.sFormat = gsNumberFormat(f.fStep, e);
    f.txtNumber->setText(QStringLiteral("1,5"));
    drive::key(Qt::Key_Up);
    EXPECT_EQ(f.txtNumber->Text(), "2,0");
}

TEST_F(NumberEntryTest, LeavingABoxChecksItsRangeKeepsTheFocusOnARefusalAndTidiesAnAcceptedValue) {
    f.fMax = 9.9f;
    f.sFormat = QStringLiteral("0.0");
    f.txtNumber->setText(QStringLiteral("9.9"));   // typed 9.9 is the Single 9.9: not above the limit
    drive::click(f.txtOther);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(drive::focus(), f.txtOther->keyTarget());

    f.txtNumber->SetFocus();
    f.txtNumber->setText(QStringLiteral("10"));
    answer({vbOK});
    drive::click(f.txtOther);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "In the range 0 to 9.9 please!");
    EXPECT_EQ(boxes().at(0).title, "Vexo v1.000");
    EXPECT_EQ(boxes().at(0).icon, vbExclamation);
    EXPECT_EQ(drive::focus(), f.txtNumber->keyTarget());

    f.fMax = 10.0f;
    f.txtNumber->setText(QStringLiteral("7.50"));
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(f.txtNumber->Text(), "7.5");
    EXPECT_EQ(drive::focus(), f.txtOther->keyTarget());
}

TEST_F(NumberEntryTest, TheRangeCheckMessages) {
    bool e = false;
    TextBox& box = *f.txtNumber;
    box.setText(QStringLiteral("3"));
    f.txtOther->SetFocus();
    answer({vbOK, vbOK, vbOK, vbOK});   // each check's message, in turn
    EXPECT_FALSE(gbTextBoxError(1.0f, 5.0f, false, QString(), QString(), box, e));
    EXPECT_EQ(drive::focus(), f.txtOther->keyTarget());   // no focus change for inverted limits
    box.setText(QString());
    EXPECT_TRUE(gbTextBoxError(10.0f, 0.0f, true, QString(), QString(), box, e));
    EXPECT_TRUE(gbTextBoxError(10.0f, 0.0f, true, QStringLiteral("V"), QString(), box, e));
    box.setText(QStringLiteral("15"));
    EXPECT_TRUE(gbTextBoxError(20000.0f, 20.0f, false, QStringLiteral("Hz"), QString(), box, e));
    EXPECT_FALSE(e);
    QStringList prompts;
    for (const MsgBoxCall& c : boxes()) prompts << c.prompt;
    EXPECT_EQ(prompts, (QStringList{"Error ifMin (5) > ifMax(1)", "Non-zero value please!", "Non-zero value (V) please!",
                                    "In the range 20 to 20000 (Hz) please!"}));
}

TEST_F(NumberEntryTest, FormatPatternsFollowTheStepsDecimals) {
    bool e = false;
    EXPECT_EQ(gsNumberFormat(0.01f, e), "0.00");
    EXPECT_EQ(gsNumberFormat(0.5f, e), "0.0");
    EXPECT_EQ(gsNumberFormat(0.001f, e), "0.000");
    EXPECT_EQ(gsNumberFormat(1.0f, e), "");
    EXPECT_EQ(gsNumberFormat(10.0f, e), "");
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(gsNumberFormat(0.01f, e), "0.00");
    EXPECT_FALSE(e);
}

TEST_F(NumberEntryTest, AnUpDownIsSetUpOnlyWithAValueInItsRange) {
    UpDown upd(&f, QStringLiteral("updNumber"), 1920, 480, 195, 285);
    upd.setMax(5);
    bool e = false;
    answer({vbOK, vbOK});
    gUpDownSet(12, 10, 0, 1, upd, e);
    EXPECT_TRUE(e);
    EXPECT_EQ(upd.Max(), 5);
    e = false;
    gUpDownSet(-1, 10, 0, 1, upd, e);
    EXPECT_TRUE(e);
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes().at(0).prompt, "Value (12) > Max (10)");
    EXPECT_EQ(boxes().at(0).title, "modUpDownSet.gUpDownSet");
    EXPECT_EQ(boxes().at(1).prompt, "Value (-1) < Min (0)");
    e = false;
    gUpDownSet(50, 99, 1, 2, upd, e);
    EXPECT_FALSE(e);
    EXPECT_EQ(upd.Min(), 1);
    EXPECT_EQ(upd.Max(), 99);
    EXPECT_EQ(upd.Value(), 50);
    EXPECT_EQ(upd.Increment(), 2);
}

TEST_F(NumberEntryTest, TheNearestEntryOfACombosNumbers) {
    bool e = false;
    EXPECT_EQ(gnCtrlCboFindStringNearestValue(*f.cboList, QStringLiteral("5"), e), -1);
    for (const char* v : {"10", "20", "50", "100"}) f.cboList->AddItem(QString::fromLatin1(v));
    EXPECT_EQ(gnCtrlCboFindStringNearestValue(*f.cboList, QStringLiteral("30"), e), 1);
    EXPECT_EQ(gnCtrlCboFindStringNearestValue(*f.cboList, QStringLiteral("35"), e), 1);   // a tie keeps the earlier
    EXPECT_EQ(gnCtrlCboFindStringNearestValue(*f.cboList, QStringLiteral("50"), e), 2);
    EXPECT_EQ(gnCtrlCboFindStringNearestValue(*f.cboList, QStringLiteral("1000"), e), 3);
    EXPECT_FALSE(e);
    f.cboList->AddItem(QStringLiteral("many"), 0);
    answer({vbAbort, vbNo});
    gnCtrlCboFindStringNearestValue(*f.cboList, QStringLiteral("30"), e);
    EXPECT_TRUE(e);   // an entry that is no number goes to the error handler
}

TEST_F(NumberEntryTest, FindingAnEntryGoesForwardWithoutWrappingAndGivesTheLastIndexOnAMiss) {
    ListBox lst(&f, QStringLiteral("lstNames"), 0, 0, 1000, 1000);
    bool e = false;
    int16_t at = 7;
    EXPECT_FALSE(gbCtrlCboListFindString(lst, QStringLiteral("b"), at, e));
    EXPECT_EQ(at, 7);
    for (const char* v : {"a", "b", "c"}) lst.AddItem(QString::fromLatin1(v));
    at = 5;
    EXPECT_TRUE(gbCtrlCboListFindString(lst, QStringLiteral("b"), at, e));
    EXPECT_EQ(at, 1);
    at = 1;
    EXPECT_FALSE(gbCtrlCboListFindString(lst, QStringLiteral("a"), at, e));
    EXPECT_EQ(at, 2);
    at = 0;
    EXPECT_FALSE(gbCtrlCboListFindString(lst, QStringLiteral("B"), at, e));
    EXPECT_FALSE(e);
}

TEST_F(NumberEntryTest, NavigationKeysInACombo) {
    f.txtNumber->setText(QStringLiteral("5"));
    f.cboList->SetFocus();
    drive::key(Qt::Key_Home);   // an empty list: nothing to go to, and no error
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(f.cboList->ListIndex(), -1);
    for (int i = 0; i < 20; ++i) f.cboList->AddItem(QString::number(i));
    f.cboList->setListIndex(10);
    f.clicks.clear();
    const std::pair<Qt::Key, int> steps[] = {{Qt::Key_PageUp, 2},   {Qt::Key_PageUp, 0},  {Qt::Key_PageDown, 8},
                                             {Qt::Key_End, 19},     {Qt::Key_PageDown, 19}, {Qt::Key_Up, 18},
                                             {Qt::Key_Right, 17},   {Qt::Key_Down, 18},   {Qt::Key_Left, 19},
                                             {Qt::Key_Down, 19},    {Qt::Key_Home, 0},    {Qt::Key_Up, 0}};
    for (const auto& [key, index] : steps) {
        drive::key(key);
        EXPECT_EQ(f.cboList->ListIndex(), index) << key;
    }
    EXPECT_EQ(f.clicks, (QList<int>{2, 0, 8, 19, 18, 17, 18, 19, 0}));
}
}
