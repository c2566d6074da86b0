// The interval, limit and file boxes as an engineer uses them: typing, keys
// that step, leaving a box, menu commands with a refused value, and browsing.
#include "platform/ui/Beep.h"
#include "tests/engineering/SeqEditorRig.h"
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>

namespace {
class SeqBoxTest : public SeqEditorTest {
protected:
    frmMESeq& openOnResponse() {
        addSequence(QStringLiteral("S1"), {QStringLiteral("Resp")}, 1.0f, 1.5f);
        addSequence(QStringLiteral("S2"), {QStringLiteral("Resp")}, 1.0f, 1.0f);
        return open(QStringLiteral("S2"));
    }
};

TEST_F(SeqBoxTest, IntervalBoxesFilterStepAndCheckOnLeaving) {
    frmMESeq& e = openOnResponse();
    retype(*e.txtCaliHours, QStringLiteral("7"));
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(e.txtCaliHours->Text(), "07");
    EXPECT_TRUE(e.txtCaliMins->HasFocus());

    retype(*e.txtCaliHours, QStringLiteral("24"));
    answer({vbOK});
    drive::key(Qt::Key_Tab);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "In the range 0 to 23 (hours) please!");
    EXPECT_TRUE(e.txtCaliHours->HasFocus());
    EXPECT_EQ(e.txtCaliHours->Text(), "24");

    // A minus sign and letters are dropped with a beep; a cleared box is "00".
    retype(*e.txtCaliHours, QString());
    const int beeps = beepCount();
    drive::type(QStringLiteral("-a"));
    EXPECT_EQ(e.txtCaliHours->Text(), "");
    EXPECT_EQ(beepCount(), beeps + 2);
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(e.txtCaliHours->Text(), "00");

    // Up at 59 beeps and stays; Page Up in the days box at 5 gives 15.
    retype(*e.txtCaliMins, QStringLiteral("59"));
    drive::key(Qt::Key_Up);
    EXPECT_EQ(e.txtCaliMins->Text(), "59");
    EXPECT_EQ(beepCount(), beeps + 3);
    retype(*e.txtCaliDays, QStringLiteral("5"));
    drive::key(Qt::Key_PageUp);
    EXPECT_EQ(e.txtCaliDays->Text(), "15");
    EXPECT_EQ(boxes().size(), 1);
}

TEST_F(SeqBoxTest, DaysAndRefSearchEnableResetOnAnyKeyTheOthersOnlyOnAChange) {
    frmMESeq& e = openOnResponse();
    ASSERT_FALSE(e.mnuFileReset->Enabled());
    e.txtCaliHours->SetFocus();
    drive::key(Qt::Key_Home);
    EXPECT_FALSE(e.mnuFileReset->Enabled());
    e.txtSelLim->SetFocus();
    drive::key(Qt::Key_Home);
    EXPECT_FALSE(e.mnuFileReset->Enabled());
    e.txtCaliDays->SetFocus();
    drive::key(Qt::Key_Home);
    EXPECT_TRUE(e.mnuFileReset->Enabled());
    press(e, Qt::Key_R);
    ASSERT_FALSE(e.mnuFileReset->Enabled());
    e.txtRefLim->SetFocus();
    drive::key(Qt::Key_End);
    EXPECT_TRUE(e.mnuFileReset->Enabled());

    // The caret moves with Left and Right; stepping keys leave it alone when nothing changes.
    retype(*e.txtRefLim, QStringLiteral("1.5"));
    drive::key(Qt::Key_Left);
    drive::key(Qt::Key_Left);
    EXPECT_EQ(e.txtRefLim->SelStart(), 1);
    drive::key(Qt::Key_Right);
    EXPECT_EQ(e.txtRefLim->SelStart(), 2);
    drive::key(Qt::Key_Home);
    EXPECT_EQ(e.txtRefLim->SelStart(), 0);
}

TEST_F(SeqBoxTest, DecibelBoxesTakeOneDecimalAndRefuseTenEvenFromTheMenu) {
    frmMESeq& e = openOnResponse();
    retype(*e.txtSelLim, QStringLiteral("2..5-"));
    EXPECT_EQ(e.txtSelLim->Text(), "2.5");
    retype(*e.txtSelLim, QString());
    drive::key(Qt::Key_Tab);
    EXPECT_EQ(e.txtSelLim->Text(), "0");

    // Ctrl+S with "10" in Ref Search: the range message, nothing written.
    retype(*e.txtRefLim, QStringLiteral("10"));
    answer({vbOK});
    press(e, Qt::Key_S);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "In the range 0 to 9.9 (dB) please!");
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S2"), QStringLiteral("Ref_Lim"))), 1.0f);
    EXPECT_TRUE(e.txtRefLim->HasFocus());
    // Nor does closing the window drop or store it: the window stays.
    answer({vbOK});
    e.mnuFileExit->fireClick();
    EXPECT_TRUE(isLoaded<frmMESeq>());
    EXPECT_EQ(boxes().size(), 2);
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S2"), QStringLiteral("Ref_Lim"))), 1.0f);

    retype(*e.txtRefLim, QStringLiteral("9.9"));
    press(e, Qt::Key_S);
    EXPECT_FLOAT_EQ(CSng(field(QStringLiteral("S2"), QStringLiteral("Ref_Lim"))), 9.9f);
    EXPECT_EQ(e.txtRefLim->Text(), "9.9");
}

// The file dialog as the engineer sees it: its title, its folder, and a pick.
struct Browse {
    QString title;
    QString folder;
    QStringList filters;
};

class SeqBrowseTest : public SeqBoxTest {
protected:
    void pick(Browse& oSeen, const QString& iFile) {
        expectModal<QFileDialog>([&oSeen, iFile](QFileDialog& d) {
            oSeen = {d.windowTitle(), QDir(d.directory()).absolutePath(), d.nameFilters()};
            if (iFile.isEmpty()) {
                d.reject();
                return;
            }
            auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(iFile);
            QTest::keyClick(name, Qt::Key_Return);
        });
    }
    static void doubleClick(TextBox& iBox) { QTest::mouseDClick(iBox.lineEditor(), Qt::LeftButton); }
    void makeFile(const QString& iPath) {
        QDir().mkpath(QFileInfo(homeFile(iPath)).path());
        writeHomeFile(iPath, "text\r\n");
    }
};

TEST_F(SeqBrowseTest, EachFileBoxStartsInItsFolderThenWhereItsLastPickWas) {
    makeFile(QStringLiteral("Prompts/a.txt"));
    makeFile(QStringLiteral("Other/X.TXT"));
    makeFile(QStringLiteral("Scripts/l.scr"));
    frmMESeq& e = openOnResponse();

    Browse seen;
    pick(seen, homeFile(QStringLiteral("Other/X.TXT")));
    doubleClick(*e.txtPrompt);
    EXPECT_EQ(seen.title, "Prompt file for S2");
    EXPECT_EQ(seen.folder, QDir(homeFile(QStringLiteral("Prompts"))).absolutePath());
    EXPECT_EQ(seen.filters.first(), "All Files (*.*) (*)");
    EXPECT_EQ(e.txtPrompt->Text(), homeFile(QStringLiteral("Other/X.TXT")));
    EXPECT_TRUE(e.mnuFileReset->Enabled());

    // The next prompt browse starts where the pick was; the script box keeps its own.
    pick(seen, QString());
    doubleClick(*e.txtPrompt);
    EXPECT_EQ(seen.folder, QDir(homeFile(QStringLiteral("Other"))).absolutePath());
    EXPECT_EQ(e.txtPrompt->Text(), homeFile(QStringLiteral("Other/X.TXT")));   // Cancel keeps the text
    pick(seen, QString());
    doubleClick(*e.txtScript);
    EXPECT_EQ(seen.title, "Script file for S2");
    EXPECT_EQ(seen.folder, QDir(homeFile(QStringLiteral("Scripts"))).absolutePath());
    EXPECT_EQ(seen.filters.first(), "Script Files (*.Scr) (*.Scr)");
    pick(seen, QString());
    doubleClick(*e.txtTarget);
    EXPECT_EQ(seen.title, "Target file for S2");

    // The pick is what Ctrl+S stores.
    press(e, Qt::Key_S);
    EXPECT_EQ(CStr(field(QStringLiteral("S2"), QStringLiteral("Prompt_File"))), homeFile(QStringLiteral("Other/X.TXT")));
    EXPECT_TRUE(boxes().isEmpty()) << prompts().join('|').toStdString();
}

TEST_F(SeqBrowseTest, FoldersResolveInAnyCaseAndAnyPatternMatchesNamesWithoutADot) {
    makeFile(QStringLiteral("targets/flat"));
    frmMESeq& e = openOnResponse();
    Browse seen;
    pick(seen, QStringLiteral("flat"));
    doubleClick(*e.txtTarget);
    EXPECT_EQ(seen.folder, QDir(homeFile(QStringLiteral("targets"))).absolutePath());
    EXPECT_EQ(e.txtTarget->Text(), homeFile(QStringLiteral("targets/flat")));
}
}
