// The supervisor window driven as a supervisor does: choosing operators in
// its combo, picking levels, the File keys and the name dialog; checked
// against the rows of vexo_op and the main window's operator combo.
#include "common/frmListAdd.h"
#include "common/frmPassword.h"
#include "common/modVarSystemParams.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Settings.h"
#include "platform/vb/Conversions.h"
#include "supervisor/frmMSupervisor.h"
#include "tests/support/MainWindowRig.h"
#include <QMap>

namespace {
class SupervisorTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        installJig();
    }
    void TearDown() override {
        endOfScript();
        unload<frmMSupervisor>();
        MainWindowRig::TearDown();
    }
    // The main window on the operator, then the supervisor window opened over it.
    frmMSupervisor& open(const QString& iMainOperator = QString()) {
        if (!iMainOperator.isEmpty()) saveUserSetting(QStringLiteral("dcboOperator"), iMainOperator);
        start();
        clearBoxes();
        frmMSupervisor& s = form<frmMSupervisor>();
        s.Show();
        s.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&s));
        return s;
    }
    // A shortcut key on the window, as pressed wherever its focus is.
    static void press(Form& ioForm, Qt::Key iKey) {
        ioForm.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ioForm));
        QWidget* focus = ioForm.focusWidget();
        QTest::keyClick(focus ? focus : &ioForm, iKey, Qt::ControlModifier);
    }
    // The operator table as stored: name -> level ("(null)" for none).
    static QMap<QString, QString> rows() {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Op.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("vexo_op"));
        QMap<QString, QString> out;
        for (; !rs->EOF_(); rs->MoveNext()) {
            const Variant level = rs->field(QStringLiteral("User_Level"));
            out.insert(CStr(rs->field(QStringLiteral("Operator"))), level.isNull() ? QStringLiteral("(null)") : CStr(level));
        }
        return out;
    }
    // The name typed into the name dialog and confirmed.
    void nameDialog(const QString& iName) {
        expectModal<frmListAdd>([iName](frmListAdd& f) {
            EXPECT_EQ(f.Caption(), "New Operator Name");
            retype(*f.txtList, iName);   // the box starts with the name chosen last time
            drive::click(f.cmdOK);
        });
    }
    static int16_t level(const frmMSupervisor& s) {
        for (int16_t i = 0; i < 3; ++i)
            if (s.optUserLevel(i).Value()) return i;
        return -1;
    }
    // On the button itself: the row beyond its caption takes no click.
    static void pick(frmMSupervisor& s, int16_t iIndex) {
        drive::click(&s.optUserLevel(iIndex), QPoint(8, s.optUserLevel(iIndex).height() / 2));
    }
    void threeOperators() {
        seed::addOperator(QStringLiteral("Alice"), QStringLiteral("Starter"));
        seed::addOperator(QStringLiteral("Bob"), QStringLiteral("Starter"));
        seed::addOperator(QStringLiteral("Carol"), QStringLiteral("Starter"));
    }
};
}

TEST_F(SupervisorTest, DeleteRemovesTheOperatorItNamesAndMovesTheMainWindowOnlyOffThatOne) {
    threeOperators();
    frmMSupervisor& s = open(QStringLiteral("Carol"));
    frmVexo& main = form<frmVexo>();
    EXPECT_EQ(s.Caption(), "Supervisor");
    EXPECT_EQ(s.dcboOperator->Text(), "Carol");
    EXPECT_EQ(s.lblData->Caption(), "Carol");
    EXPECT_TRUE(s.mnuFileDelete->Enabled());
    EXPECT_FALSE(s.mnuPairTypPairMatch->Enabled());
    EXPECT_FALSE(s.mnuFilePrin->Enabled());

    answer({vbYes});
    press(s, Qt::Key_D);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Delete the operator 'Carol'?");
    EXPECT_EQ(boxes()[0].title, "Operator Deletion");
    EXPECT_EQ(rows().keys(), (QStringList{"Alice", "Bob"}));
    EXPECT_EQ(main.dcboOperator->Text(), "Alice");
    EXPECT_EQ(s.dcboOperator->Text(), "Alice");
    EXPECT_EQ(s.lblData->Caption(), "Alice");

    // A new operator is the current one: Delete names and removes it.
    nameDialog(QStringLiteral("Dave"));
    press(s, Qt::Key_N);
    EXPECT_EQ(rows().value("Dave"), "Starter");
    EXPECT_EQ(s.dcboOperator->Text(), "Dave");
    EXPECT_EQ(s.lblData->Caption(), "Dave");
    EXPECT_GE(main.dcboOperator->findText("Dave"), 0);   // the main window offers the new name
    clearBoxes();
    answer({vbYes});
    press(s, Qt::Key_D);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "Delete the operator 'Dave'?");
    EXPECT_EQ(rows().keys(), (QStringList{"Alice", "Bob"}));

    // Another operator than the main window's: the main window stays on Alice.
    choose(s.dcboOperator, QStringLiteral("Bob"));
    EXPECT_EQ(s.lblData->Caption(), "Bob");
    clearBoxes();
    answer({vbYes});
    press(s, Qt::Key_D);
    EXPECT_EQ(boxes()[0].prompt, "Delete the operator 'Bob'?");
    EXPECT_EQ(rows().keys(), (QStringList{"Alice"}));
    EXPECT_EQ(main.dcboOperator->Text(), "Alice");
    EXPECT_FALSE(s.mnuFileDelete->Enabled());

    // No: nothing goes.
    clearBoxes();
    nameDialog(QStringLiteral("Erin"));
    press(s, Qt::Key_N);
    answer({vbNo});
    press(s, Qt::Key_D);
    EXPECT_EQ(rows().keys(), (QStringList{"Alice", "Erin"}));
}

TEST_F(SupervisorTest, APickedLevelIsWrittenOnLeavingSavingOrClosingAndDroppedByReset) {
    threeOperators();
    frmMSupervisor& s = open(QStringLiteral("Alice"));
    EXPECT_EQ(level(s), 2);

    pick(s, 0);
    choose(s.dcboOperator, QStringLiteral("Bob"));
    EXPECT_EQ(rows().value("Alice"), "Expert");
    EXPECT_EQ(level(s), 2);

    // Reset shows the stored level again and writes nothing.
    pick(s, 1);
    press(s, Qt::Key_R);
    EXPECT_EQ(level(s), 2);
    EXPECT_EQ(rows().value("Bob"), "Starter");
    choose(s.dcboOperator, QStringLiteral("Carol"));
    EXPECT_EQ(rows().value("Bob"), "Starter");

    // Save writes and stays.
    pick(s, 1);
    press(s, Qt::Key_S);
    EXPECT_EQ(rows().value("Carol"), "Intermediate");
    EXPECT_EQ(s.lblData->Caption(), "Carol");
    EXPECT_EQ(s.dcboOperator->Text(), "Carol");

    // Also after a New, Save stays on the operator shown.
    nameDialog(QStringLiteral("Dave"));
    press(s, Qt::Key_N);
    choose(s.dcboOperator, QStringLiteral("Bob"));
    pick(s, 0);
    press(s, Qt::Key_S);
    EXPECT_EQ(rows().value("Bob"), "Expert");
    EXPECT_EQ(rows().value("Dave"), "Starter");
    EXPECT_EQ(s.lblData->Caption(), "Bob");

    // Exit writes a level still pending.
    pick(s, 1);
    press(s, Qt::Key_X);
    EXPECT_FALSE(isLoaded<frmMSupervisor>());
    EXPECT_EQ(rows().value("Bob"), "Intermediate");
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(SupervisorTest, SaveAsCopiesTheStoredLevelAndAnUnknownLevelShowsAsStarter) {
    seed::addOperator(QStringLiteral("Alice"), QStringLiteral("Intermediate"));
    seed::addOperator(QStringLiteral("Bob"), QStringLiteral("expert"));
    seed::addOperator(QStringLiteral("Carol"));
    frmMSupervisor& s = open(QStringLiteral("Alice"));
    EXPECT_EQ(level(s), 1);
    pick(s, 0);
    nameDialog(QStringLiteral("Eve"));
    press(s, Qt::Key_A);
    EXPECT_EQ(rows().value("Eve"), "Intermediate");
    EXPECT_EQ(rows().value("Alice"), "Intermediate");
    EXPECT_EQ(s.dcboOperator->Text(), "Eve");
    EXPECT_EQ(s.lblData->Caption(), "Eve");
    EXPECT_EQ(level(s), 1);

    choose(s.dcboOperator, QStringLiteral("Bob"));
    EXPECT_EQ(level(s), 2);
    choose(s.dcboOperator, QStringLiteral("Carol"));
    EXPECT_EQ(level(s), 2);
    EXPECT_EQ(rows().value("Bob"), "expert");
    EXPECT_EQ(rows().value("Carol"), "(null)");
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(SupervisorTest, ANewStationStartsWithoutAnOperatorAndNewAddsTheFirst) {
    frmMSupervisor* w = &open();
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_FALSE(w->mnuFileDelete->Enabled());
    // A level picked with no operator to hold it: nothing to write, nothing to complain about.
    pick(*w, 0);
    press(*w, Qt::Key_X);
    EXPECT_FALSE(isLoaded<frmMSupervisor>());
    EXPECT_TRUE(boxes().isEmpty());
    frmMSupervisor& s = form<frmMSupervisor>();
    s.Show();
    pick(s, 1);
    press(s, Qt::Key_S);
    press(s, Qt::Key_R);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_TRUE(rows().isEmpty());

    nameDialog(QStringLiteral("Ann"));
    press(s, Qt::Key_N);
    EXPECT_EQ(rows(), (QMap<QString, QString>{{"Ann", "Starter"}}));
    EXPECT_EQ(s.lblData->Caption(), "Ann");
    EXPECT_FALSE(s.mnuFileDelete->Enabled());
    // A copy makes two: either may go.
    nameDialog(QStringLiteral("Amy"));
    press(s, Qt::Key_A);
    EXPECT_EQ(rows().size(), 2);
    EXPECT_TRUE(s.mnuFileDelete->Enabled());
    nameDialog(QStringLiteral("Ben"));
    press(s, Qt::Key_N);
    EXPECT_TRUE(s.mnuFileDelete->Enabled());
    press(s, Qt::Key_X);
    EXPECT_TRUE(boxes().isEmpty());
}

TEST_F(SupervisorTest, ANameWithAQuoteIsCreatedChosenResetAndDeleted) {
    seed::addOperator(QStringLiteral("Alice"), QStringLiteral("Starter"));
    frmMSupervisor& s = open(QStringLiteral("Alice"));
    EXPECT_FALSE(s.mnuFileDelete->Enabled());
    nameDialog(QStringLiteral("O'Neil"));
    press(s, Qt::Key_N);
    EXPECT_EQ(rows().value("O'Neil"), "Starter");
    choose(s.dcboOperator, QStringLiteral("Alice"));
    choose(s.dcboOperator, QStringLiteral("O'Neil"));
    EXPECT_EQ(s.lblData->Caption(), "O'Neil");
    pick(s, 0);
    press(s, Qt::Key_R);
    EXPECT_EQ(level(s), 2);
    EXPECT_EQ(s.lblData->Caption(), "O'Neil");
    answer({vbYes});
    press(s, Qt::Key_D);
    EXPECT_EQ(boxes()[0].prompt, "Delete the operator 'O'Neil'?");
    EXPECT_EQ(rows().keys(), (QStringList{"Alice"}));
}

TEST_F(SupervisorTest, TheSupervisorButtonAsksThePasswordAndShowsTheWindowModally) {
    threeOperators();
    saveUserSetting(QStringLiteral("dcboOperator"), QStringLiteral("Bob"));
    frmVexo& main = start();
    clearBoxes();
    gsPasswordSuper = QStringLiteral("Boss");
    drive::click(main.cmdMoreStuff);
    ASSERT_TRUE(main.cmdSupervisor->isVisible());
    bool shown = false;
    expectModal<frmPassword>([](frmPassword& p) {
        EXPECT_EQ(p.Caption(), "Supervisor");
        drive::type(QStringLiteral("boss"));
        drive::key(Qt::Key_Return);
    });
    expectModal<frmMSupervisor>([&](frmMSupervisor& s) {
        shown = true;
        EXPECT_EQ(s.dcboOperator->Text(), "Bob");
        press(s, Qt::Key_X);
    });
    drive::click(main.cmdSupervisor);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(isLoaded<frmMSupervisor>());

    // A wrong password opens nothing and changes no mode.
    clearBoxes();
    expectModal<frmPassword>([](frmPassword&) {
        drive::type(QStringLiteral("guess"));
        drive::key(Qt::Key_Return);
    });
    answer({vbOK});
    drive::click(main.cmdSupervisor);
    EXPECT_FALSE(isLoaded<frmMSupervisor>());
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().last().prompt, "Invalid Password!");
    EXPECT_TRUE(main.dcboOperator->Visible());
}
