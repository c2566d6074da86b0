// The list pick, the text-file viewer on it, the new-name dialog and the
// free-text dialog, driven as a user would.
#include "common/frmListAdd.h"
#include "common/frmListGet.h"
#include "common/frmMultiLineText.h"
#include "common/modViewText.h"
#include "platform/os/Settings.h"
#include "platform/ui/FormRegistry.h"
#include "platform/vb/Conversions.h"
#include "tests/support/DialogTest.h"

namespace {
const QStringList kNames{QString(), QStringLiteral("Woofer"), QStringLiteral("Tweeter"), QStringLiteral("Mid")};

QStringList entries(const ListBox& iList) {
    QStringList out;
    for (int i = 0; i < iList.ListCount(); ++i) out << iList.List(i);
    return out;
}

class ListGetTest : public DialogTest {
protected:
    QString pick(const QStringList& iList, int32_t& ioPtr, bool iCancel = true) {
        bool e = false;
        const QString chosen = frmListGet::gsListGet(iList, QStringLiteral("Add Test to Sequence"), iCancel, ioPtr, e);
        EXPECT_FALSE(e);
        EXPECT_FALSE(isLoaded<frmListGet>());
        return chosen;
    }
};

TEST_F(ListGetTest, TheGivenEntryIsPreselectedAndThePickComesBackWithItsPlace) {
    int32_t ptr = 2;
    expectModal<frmListGet>([](frmListGet& f) {
        EXPECT_EQ(entries(*f.lstList), kNames.mid(1));
        EXPECT_EQ(f.lstList->ListIndex(), 1);
        EXPECT_EQ(f.Caption(), "Add Test to Sequence");
        drive::key(Qt::Key_Down);
        drive::key(Qt::Key_Return);   // to OK
        drive::key(Qt::Key_Return);
    });
    EXPECT_EQ(pick(kNames, ptr), "Mid");
    EXPECT_EQ(ptr, 3);

    for (int32_t outside : {0, 4}) {
        expectModal<frmListGet>([](frmListGet& f) { drive::click(f.cmdOK); });
        ptr = outside;
        EXPECT_EQ(pick(kNames, ptr), "Woofer");
        EXPECT_EQ(ptr, 1);
    }
}

TEST_F(ListGetTest, CancelEscAndTheCloseBoxChooseNothingAlsoWithoutACancelButton) {
    const std::function<void(frmListGet&)> ways[] = {
        [](frmListGet& f) { drive::click(f.cmdCancel); },
        [](frmListGet&) { drive::key(Qt::Key_Escape); },
        [](frmListGet& f) { f.close(); },
    };
    for (int i = 0; i < 3; ++i) {
        for (bool cancelOffered : {true, false}) {
            if (!cancelOffered && i == 0) continue;
            int32_t ptr = 3;
            expectModal<frmListGet>([&](frmListGet& f) {
                EXPECT_EQ(f.cmdCancel->isVisible(), cancelOffered);
                ways[i](f);
            });
            EXPECT_EQ(pick(kNames, ptr, cancelOffered), "");
            EXPECT_EQ(ptr, 3);
        }
    }
    // An empty list gives nothing on OK either.
    int32_t ptr = 1;
    expectModal<frmListGet>([](frmListGet& f) { drive::click(f.cmdOK); });
    EXPECT_EQ(pick(QStringList{QString()}, ptr), "");
}

TEST_F(ListGetTest, TheListWidensToItsLongestEntryUpToNineTenthsOfTheScreen) {
    QStringList wide = kNames;
    wide << QStringLiteral("A rather long sequence name for a wide list");
    int32_t listWidth = 0, clientWidth = 0, textWidth = 0;
    const std::function<void(frmListGet&)> measure = [&](frmListGet& f) {
        listWidth = f.lstList->Width();
        clientWidth = f.ScaleWidth();
        textWidth = CLng(f.TextWidth(QLatin1Char(' ') + wide.last() + QLatin1Char(' ')));
        drive::click(f.cmdOK);
    };
    expectModal<frmListGet>(measure);
    expectModal<frmListGet>(measure);
    int32_t ptr = 1;
    pick(wide, ptr);
    EXPECT_GT(listWidth, 2535);
    EXPECT_EQ(listWidth, textWidth);
    EXPECT_EQ(clientWidth, listWidth + 2 * 593);

    wide << QString(400, QLatin1Char('W'));
    pick(wide, ptr);
    EXPECT_EQ(listWidth, CLng(0.9 * 15360));
}

TEST_F(ListGetTest, TheWindowReopensWhereTheUserLeftIt) {
    int32_t ptr = 1;
    QPoint at;
    const std::function<void(frmListGet&)> moveAway = [&](frmListGet& f) {
        at = QPoint(f.Left(), f.Top());
        f.Move(3000, 2000);
        f.close();
    };
    expectModal<frmListGet>(moveAway);
    expectModal<frmListGet>(moveAway);
    pick(kNames, ptr);
    EXPECT_EQ(userSetting(QStringLiteral("frmListGet.Left"), QString()), "3000");
    pick(kNames, ptr);
    EXPECT_EQ(at, QPoint(3000, 2000));
}

// The test lookup fills the window itself: shown without waiting, names added
// while it is up, then shown modally until the user closes it.
TEST_F(ListGetTest, ALookupCanShowTheWindowThenFillItThenWaitForTheUser) {
    frmListGet& f = form<frmListGet>();
    f.cmdOK->setVisible(false);
    f.setCaption(QStringLiteral("Can't Delete!  Test in sequence(s) ..."));
    f.lstList->Clear();
    f.Show();
    ASSERT_TRUE(f.isVisible());
    for (const QString& n : {QStringLiteral("Seq A"), QStringLiteral("Seq B")}) {
        f.lstList->AddItem(n);
        f.lstList->repaint();
    }
    expectModal<frmListGet>([&](frmListGet& w) {
        EXPECT_EQ(&w, &f);
        EXPECT_EQ(entries(*f.lstList), (QStringList{"Seq A", "Seq B"}));
        EXPECT_FALSE(f.cmdOK->isVisible());
        f.close();
    });
    f.Show(vbModal);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.mnListIndex, -1);
    EXPECT_TRUE(unload<frmListGet>());
}

TEST_F(ListGetTest, ATextFileIsShownLineByLineWithoutItsTitle) {
    writeHomeFile(QStringLiteral("Woofer.txt"),
                  QByteArray(".Woofer prompt\r\nFit the gasket\r\n\r\n. a comment\r\nPress Test\r\n"));
    expectModal<frmListGet>([](frmListGet& f) {
        EXPECT_EQ(f.Caption(), "Woofer 8");
        EXPECT_EQ(entries(*f.lstList), (QStringList{"Fit the gasket", " ", "Press Test"}));
        EXPECT_EQ(f.lstList->ListIndex(), 0);
        EXPECT_FALSE(f.cmdCancel->isVisible());
        drive::click(f.cmdOK);
    });
    bool e = false;
    gViewText(homeFile(QStringLiteral("Woofer.txt")), QStringLiteral("Woofer 8"), e);
    EXPECT_FALSE(e);
    EXPECT_FALSE(isLoaded<frmListGet>());
}

// Not sorted: "Woofer 8A" stands before "Woofer 8".
const QStringList kSeqs{QString(), QStringLiteral("Woofer 8A"), QStringLiteral("Woofer 8"), QStringLiteral("Tweeter"),
                        QStringLiteral("Mid")};

class ListAddTest : public DialogTest {
protected:
    QString add(int16_t& ioPtr, const QStringList& iList = kSeqs) {
        bool e = false;
        const QString name = frmListAdd::gsAdd(iList, 128, 19, QStringLiteral("New Sequence Name"), ioPtr, e);
        EXPECT_FALSE(e);
        EXPECT_FALSE(isLoaded<frmListAdd>());
        return name;
    }
};

TEST_F(ListAddTest, ANameAlreadyListedIsNeverOfferedWhateverTheSearchSelects) {
    expectModal<frmListAdd>([](frmListAdd& f) {
        // No window is shown: the dialog opens in the middle of the screen.
        EXPECT_NEAR(f.Left(), (twips::screenWidth() - f.Width()) / 2, 30);
        EXPECT_NEAR(f.Top(), (twips::screenHeight() - f.Height()) / 2, 30);
        EXPECT_FALSE(f.cmdOK->isEnabled());
        auto offered = [&](const QString& iText) {
            retype(*f.txtList, iText);
            return f.cmdOK->isEnabled();
        };
        // The search lands on "Woofer 8A"; "Woofer 8" is listed further down.
        EXPECT_FALSE(offered(QStringLiteral("Woofer 8")));
        EXPECT_EQ(f.lstList->ListIndex(), 0);
        EXPECT_FALSE(offered(QStringLiteral("woofer 8A")));
        EXPECT_FALSE(offered(QStringLiteral("  MID ")));
        EXPECT_FALSE(offered(QStringLiteral("   ")));
        EXPECT_TRUE(offered(QStringLiteral("Woofer 8B")));
        // A double-clicked entry comes into the box, refused.
        QTest::mouseDClick(f.lstList->viewport(), Qt::LeftButton, {}, f.lstList->visualItemRect(f.lstList->item(3)).center());
        EXPECT_EQ(f.txtList->Text(), "Mid");
        EXPECT_FALSE(f.cmdOK->isEnabled());
        drive::key(Qt::Key_Escape);
    });
    int16_t ptr = 0;
    add(ptr);

    // A preselected existing name starts in the box with OK refused.
    expectModal<frmListAdd>([](frmListAdd& f) {
        EXPECT_EQ(f.txtList->Text(), "Woofer 8");
        EXPECT_FALSE(f.cmdOK->isEnabled());
        drive::type(QStringLiteral(" B"));   // the caret is at the end
        drive::click(f.cmdOK);
    });
    ptr = 2;
    EXPECT_EQ(add(ptr), "Woofer 8 B");
}

TEST_F(ListAddTest, TheNameComesBackTrimmedWithTheSelectedPlaceCountedFromZero) {
    expectModal<frmListAdd>([](frmListAdd& f) {
        drive::type(QStringLiteral("  Tweeter 2  "));
        drive::key(Qt::Key_Return);   // Enter in the box only moves to OK
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(f.cmdOK->HasFocus());
        drive::key(Qt::Key_Return);
    });
    int16_t ptr = 0;
    EXPECT_EQ(add(ptr), "Tweeter 2");
    EXPECT_EQ(ptr, 2);

    // Typing stops at the longest name allowed; with OK refused Enter goes to Cancel.
    expectModal<frmListAdd>([](frmListAdd& f) {
        drive::type(QStringLiteral("Mid"));
        drive::key(Qt::Key_Return);
        EXPECT_TRUE(f.cmdCancel->HasFocus());
        retype(*f.txtList, QStringLiteral("A name far too long to keep"));
        drive::click(f.cmdOK);
    });
    ptr = 0;
    EXPECT_EQ(add(ptr), "A name far too long");
}

TEST_F(ListAddTest, CancelEscAndTheCloseBoxGiveNothingAndMinusOne) {
    const std::function<void(frmListAdd&)> ways[] = {
        [](frmListAdd& f) { drive::click(f.cmdCancel); },
        [](frmListAdd&) { drive::key(Qt::Key_Escape); },
        [](frmListAdd& f) { f.close(); },
    };
    for (const auto& way : ways) {
        expectModal<frmListAdd>([&](frmListAdd& f) {
            drive::type(QStringLiteral("Sub"));
            ASSERT_TRUE(f.cmdOK->isEnabled());
            way(f);
        });
        int16_t ptr = 3;
        EXPECT_EQ(add(ptr), "");
        EXPECT_EQ(ptr, -1);
    }
}

TEST_F(DialogTest, TheFreeTextComesOnlyFromOK) {
    const std::function<void(frmMultiLineText&)> ways[] = {
        [](frmMultiLineText& f) { drive::click(f.cmdOK); },
        [](frmMultiLineText& f) { drive::click(f.cmdCancel); },
        [](frmMultiLineText&) { drive::key(Qt::Key_Escape); },
        [](frmMultiLineText& f) { f.close(); },
    };
    QStringList texts;
    for (const auto& way : ways) {
        expectModal<frmMultiLineText>([&](frmMultiLineText& f) {
            EXPECT_EQ(f.Caption(), "EMail to Pelmo");
            drive::type(QStringLiteral("  The clamp sticks."));
            drive::key(Qt::Key_Return);
            drive::type(QStringLiteral("Please call.  "));
            way(f);
        });
        bool e = false;
        texts << frmMultiLineText::gsMultiLineText(QStringLiteral("EMail to Pelmo"), e);
        EXPECT_FALSE(e);
    }
    EXPECT_EQ(texts, (QStringList{"The clamp sticks.\r\nPlease call.", "", "", ""}));
}
}
