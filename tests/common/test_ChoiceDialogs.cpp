// The password dialog, the multi-button choice and the number dialog, driven
// as a user would, with message boxes answered by script.
#include "common/frmInputNumber.h"
#include "common/frmMultiButton.h"
#include "common/frmPassword.h"
#include "common/modKeyMouseIncrement.h"
#include "platform/ui/FormRegistry.h"
#include "tests/support/DialogTest.h"

namespace {
bool granted(const QString& iStored, bool iError = false) {
    bool e = iError;
    const bool ok = frmPassword::gbPassword(iStored, QStringLiteral("Engineer"), e);
    EXPECT_EQ(e, iError);
    EXPECT_FALSE(isLoaded<frmPassword>());
    return ok;
}

TEST_F(DialogTest, ThePasswordIsGrantedIgnoringCaseAgainstTheTrimmedStoredOne) {
    int shown = 0;
    QString typed;
    const std::function<void(frmPassword&)> user = [&](frmPassword& f) {
        ++shown;
        EXPECT_EQ(f.Caption(), "Engineer");
        EXPECT_EQ(f.txtPassword->Text(), "");   // every call starts afresh
        drive::type(typed);
        drive::key(Qt::Key_Return);
    };
    expectModal<frmPassword>(user);
    typed = QStringLiteral("sEcReT");
    EXPECT_TRUE(granted(QStringLiteral("  Secret") + QChar(0)));
    EXPECT_TRUE(boxes().isEmpty());
    expectModal<frmPassword>(user);
    answer({vbOK});   // "Invalid Password!"
    typed = QStringLiteral(" Secret");
    EXPECT_FALSE(granted(QStringLiteral("Secret")));
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "Invalid Password!");
    EXPECT_EQ(boxes().at(0).title, "Engineer");
    EXPECT_EQ(boxes().at(0).icon, vbExclamation);
    expectModal<frmPassword>(user);
    typed = QString();
    EXPECT_FALSE(granted(QStringLiteral("Secret")));   // empty: no message
    EXPECT_EQ(shown, 3);

    // Nothing stored: granted without asking. A flagged error refuses.
    EXPECT_TRUE(granted(QString()));
    EXPECT_TRUE(granted(QStringLiteral("   ")));
    EXPECT_TRUE(granted(QString(2, QChar(0))));
    EXPECT_FALSE(granted(QStringLiteral("Secret"), true));
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(boxes().size(), 1);
}

TEST_F(DialogTest, CancelEscAndTheCloseBoxRefuseSilentlyAndEnterAcceptsFromCancelToo) {
    const std::function<void(frmPassword&)> ways[] = {
        [](frmPassword& f) { drive::click(f.cmdCancel); },
        [](frmPassword&) { drive::key(Qt::Key_Escape); },
        [](frmPassword& f) { f.close(); },
    };
    for (const auto& way : ways) {
        expectModal<frmPassword>([&](frmPassword& f) {
            drive::type(QStringLiteral("secret"));
            way(f);
        });
        EXPECT_FALSE(granted(QStringLiteral("Secret")));
    }
    EXPECT_TRUE(boxes().isEmpty());
    expectModal<frmPassword>([](frmPassword& f) {
        drive::type(QStringLiteral("secret"));
        f.cmdCancel->SetFocus();
        drive::key(Qt::Key_Return);
    });
    EXPECT_TRUE(granted(QStringLiteral("Secret")));
}

const QStringList kSwitch{QString(), QStringLiteral("&Clear"), QStringLiteral("&Fail"), QStringLiteral("&Pass")};

class MultiButtonTest : public DialogTest {
protected:
    // Without a user part, no window is expected.
    QString choose(const QStringList& iCaptions, const std::function<void(frmMultiButton&)>& iUser, int16_t iFirst = 1) {
        if (iUser) expectModal<frmMultiButton>(iUser);
        bool e = false;
        const QString letter =
            frmMultiButton::gsMultiButton(iCaptions, iFirst, QStringLiteral("Switch Test"), left, top, e);
        EXPECT_FALSE(e);
        EXPECT_FALSE(isLoaded<frmMultiButton>());
        return letter;
    }
    int32_t left = 1000, top = 1000;
};

TEST_F(MultiButtonTest, OneButtonPerCaptionAndTheWindowNarrowsForEachUnusedOne) {
    QStringList captions{QString()};
    for (int n = 1; n <= 4; ++n) {
        captions << QStringLiteral("&") + QString::number(n);
        choose(captions, [&](frmMultiButton& f) {
            QStringList shown;
            f.cmdCmd.each([&](CommandButton& b, int16_t) {
                if (b.isVisible()) shown << b.Caption();
            });
            EXPECT_EQ(shown, captions.mid(1));
            EXPECT_EQ(f.ScaleWidth(), 6855 - 1095 * (4 - n));
            EXPECT_EQ(f.Caption(), "Switch Test");
            drive::key(Qt::Key_1);
        });
    }
}

TEST_F(MultiButtonTest, TheResultIsTheLetterAfterTheAmpersandAsWritten) {
    EXPECT_EQ(choose(kSwitch, [](frmMultiButton& f) { drive::click(&f.cmdCmd(2)); }), "P");
    EXPECT_EQ(choose(kSwitch, [](frmMultiButton& f) {
        drive::key(Qt::Key_X);   // no button's letter
        EXPECT_TRUE(f.isVisible());
        drive::key(Qt::Key_F);
    }), "F");
    EXPECT_EQ(choose(kSwitch, [](frmMultiButton&) { drive::key(Qt::Key_C, Qt::ShiftModifier); }), "C");
    const QStringList odd{QString(), QStringLiteral("&yes"), QStringLiteral("No key")};
    EXPECT_EQ(choose(odd, [](frmMultiButton&) { drive::key(Qt::Key_Y); }), "y");
    EXPECT_EQ(choose(odd, [](frmMultiButton& f) { drive::click(&f.cmdCmd(1)); }), "");
    EXPECT_EQ(choose(kSwitch, [](frmMultiButton&) { drive::key(Qt::Key_Escape); }), "");
    EXPECT_EQ(choose(kSwitch, [](frmMultiButton& f) { f.close(); }), "");
}

TEST_F(MultiButtonTest, TheGivenButtonHasTheFocusAndEnterPressesIt) {
    EXPECT_EQ(choose(kSwitch, [](frmMultiButton& f) {
        EXPECT_TRUE(f.cmdCmd(1).HasFocus());
        drive::key(Qt::Key_Return);
    }, 2), "F");
    EXPECT_EQ(choose(kSwitch, [](frmMultiButton& f) {
        drive::key(Qt::Key_End);
        EXPECT_TRUE(f.cmdCmd(2).HasFocus());
        drive::key(Qt::Key_Home);
        drive::key(Qt::Key_Return);
    }, 3), "C");
}

TEST_F(MultiButtonTest, ThePlaceIsKeptOnTheScreenAndGivenBackIn32Bits) {
    left = 20000;
    top = -3000;
    choose(kSwitch, [](frmMultiButton&) { drive::key(Qt::Key_P); });
    EXPECT_EQ(left, 15360 - 6855 + 200);
    EXPECT_EQ(top, -200);
    choose(kSwitch, [](frmMultiButton& f) {
        f.Move(2500, 4000);
        drive::key(Qt::Key_P);
    });
    EXPECT_EQ(QPoint(left, top), QPoint(2500, 4000));
    twips::setTestScreen(46080, 11520);   // three screens side by side
    left = 36000;
    choose(kSwitch, [](frmMultiButton&) { drive::key(Qt::Key_P); });
    EXPECT_EQ(left, 36000);
}

TEST_F(MultiButtonTest, NoCaptionOrMoreThanFourAreRefusedWithoutAWindow) {
    for (const QStringList& faulty : {QStringList{QString()}, QStringList{QString(), "1", "2", "3", "4", "5"}}) {
        clearBoxes();
        answer({vbOK});
        EXPECT_EQ(choose(faulty, nullptr), "");
        ASSERT_EQ(boxes().size(), 1);
        EXPECT_EQ(boxes().at(0).prompt, "Faulty input array (iasArray$)");
        EXPECT_EQ(boxes().at(0).title, "frmMultiButton.gsMultiButton");
    }
}

class InputNumberTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        gbKeyMouseIncrementActive = false;
    }
    // The serial number: whole numbers 0 to 9999999, no Cancel.
    QString serial(float iValue) { return ask(QString(), iValue, 9999999.0f, 1.0f, true, false); }
    // The meter reading: 0 to 99 in steps of 0.01, Cancel offered.
    QString reading(float iValue) { return ask(QStringLiteral(" Voltmeter reading (Vrms)"), iValue, 99.0f, 0.01f, false, true); }
    QString ask(const QString& iPrompt, float iValue, float iMax, float iStep, bool iInteger, bool iCancel) {
        bool e = false;
        const QString r = frmInputNumber::gsInputNumber(QStringLiteral("Unit serial number"), iPrompt, iValue, iMax, 0.0f,
                                                        iStep, iInteger, iCancel, e);
        EXPECT_FALSE(e);
        EXPECT_FALSE(isLoaded<frmInputNumber>());
        return r;
    }
};

TEST_F(InputNumberTest, AValueOutOfRangeOrAnEmptyBoxIsToldAndTheWindowStaysOpen) {
    expectModal<frmInputNumber>([this](frmInputNumber& f) {
        EXPECT_EQ(f.txtNumber->Text(), "1.5");
        EXPECT_TRUE(f.lblPrompt->isVisible());
        EXPECT_TRUE(f.cmdCancel->isVisible());
        EXPECT_FALSE(f.updNumber->isVisible());
        retype(*f.txtNumber, QStringLiteral("150"));
        answer({vbOK});
        drive::click(f.cmdOK);
        EXPECT_TRUE(f.isVisible());
        retype(*f.txtNumber, QString());
        answer({vbOK});
        drive::key(Qt::Key_Return);
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.txtNumber->HasFocus());
        drive::type(QStringLiteral("15"));
        drive::key(Qt::Key_Return);
    });
    EXPECT_EQ(reading(1.5f), "15");
    ASSERT_EQ(boxes().size(), 2);
    for (const MsgBoxCall& box : boxes()) {
        EXPECT_EQ(box.prompt, "In the range 0 to 99 please!");
        EXPECT_EQ(box.icon, vbExclamation);
    }
}

TEST_F(InputNumberTest, ACommaLocaleReadsAndWritesTheCommaForm) {
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    expectModal<frmInputNumber>([](frmInputNumber& f) {
        EXPECT_EQ(f.txtNumber->Text(), "0,5");
        retype(*f.txtNumber, QStringLiteral("1,5"));
        drive::click(f.cmdOK);
    });
    EXPECT_EQ(reading(0.5f), "1,5");
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(InputNumberTest, WithoutCancelTheCloseBoxAndEscTakeTheBoxsValueNeverZero) {
    expectModal<frmInputNumber>([](frmInputNumber& f) {
        EXPECT_FALSE(f.cmdCancel->isVisible());
        EXPECT_FALSE(f.lblPrompt->isVisible());
        EXPECT_TRUE(f.updNumber->isVisible());
        f.close();
    });
    EXPECT_EQ(serial(1234567.0f), "1234567");
    expectModal<frmInputNumber>([](frmInputNumber&) { drive::key(Qt::Key_Escape); });
    EXPECT_EQ(serial(42.0f), "42");
    EXPECT_TRUE(boxes().isEmpty());

    // Out of range, closing is refused as OK is, until the value is corrected.
    expectModal<frmInputNumber>([this](frmInputNumber& f) {
        retype(*f.txtNumber, QStringLiteral("12345678"));
        answer({vbOK});
        f.close();
        EXPECT_TRUE(f.isVisible());
        answer({vbOK});
        drive::key(Qt::Key_Escape);
        EXPECT_TRUE(f.isVisible());
        retype(*f.txtNumber, QStringLiteral("43"));
        f.close();
    });
    EXPECT_EQ(serial(42.0f), "43");
    EXPECT_EQ(boxes().size(), 2);
}

TEST_F(InputNumberTest, WithCancelTheCloseBoxAndEscCancelWhateverTheBoxHolds) {
    const std::function<void(frmInputNumber&)> ways[] = {
        [](frmInputNumber& f) { drive::click(f.cmdCancel); },
        [](frmInputNumber&) { drive::key(Qt::Key_Escape); },
        [](frmInputNumber& f) { f.close(); },
    };
    for (const auto& way : ways) {
        expectModal<frmInputNumber>([&](frmInputNumber& f) {
            retype(*f.txtNumber, QStringLiteral("150"));
            way(f);
        });
        EXPECT_EQ(reading(1.0f), "");
    }
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(InputNumberTest, WholeNumbersRefuseTheDecimalCharacterAndStepWithKeysAndTheUpDown) {
    expectModal<frmInputNumber>([](frmInputNumber& f) {
        drive::type(QStringLiteral(".5"));
        EXPECT_EQ(f.txtNumber->Text(), "75");
        drive::key(Qt::Key_Up);
        drive::click(f.updNumber, QPoint(f.updNumber->width() / 2, 2));
        EXPECT_EQ(f.txtNumber->Text(), "77");
        drive::click(f.cmdOK);
    });
    EXPECT_EQ(serial(7.0f), "77");
    expectModal<frmInputNumber>([](frmInputNumber& f) {
        drive::type(QStringLiteral(".5"));
        drive::key(Qt::Key_Up);
        drive::click(f.cmdOK);
    });
    EXPECT_EQ(reading(1.0f), "1.51");
}
}
