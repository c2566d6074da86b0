// Controls on the layer: lists and combo boxes (Click on a change of the
// choice, by code too), check boxes and option groups, up-down with its buddy,
// text boxes, labels, control arrays.
#include "platform/ui/FormRegistry.h"
#include "platform/ui/Color.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/VScrollBar.h"
#include "tests/support/WindowDriver.h"
#include "tests/platform/frmExample.h"
#include "tests/support/StationTest.h"
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
class ControlTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        ASSERT_TRUE(drive::showActive(f));
        f.events.clear();
    }
    void TearDown() override {
        endOfScript();
        unload<frmExample>();
        StationTest::TearDown();
    }
    QStringList clicks(const QString& iWho) const { return f.events.filter(iWho + QStringLiteral("_Click")); }
    frmExample& f = form<frmExample>();
};

TEST_F(ControlTest, AComboBoxRaisesClickWhenItsChoiceChangesAndOnlyThen) {
    ComboBox& cbo = *f.cboUnit;
    EXPECT_EQ(cbo.ListCount(), 2);
    EXPECT_EQ(cbo.ListIndex(), -1);   // filled in Load, nothing chosen, no Click
    EXPECT_TRUE(clicks(QStringLiteral("cboUnit")).isEmpty());
    cbo.setListIndex(1);
    cbo.setListIndex(1);
    EXPECT_EQ(clicks(QStringLiteral("cboUnit")), QStringList{QStringLiteral("cboUnit_Click kHz")});
    cbo.SetFocus();
    drive::key(Qt::Key_Up);
    EXPECT_EQ(cbo.ListIndex(), 0);
    EXPECT_EQ(clicks(QStringLiteral("cboUnit")).last(), "cboUnit_Click Hz");
    cbo.AddItem(QStringLiteral("mHz"), 0);
    EXPECT_EQ(cbo.ListIndex(), 1);
    cbo.RemoveItem(1);
    EXPECT_EQ(cbo.ListIndex(), -1);
    EXPECT_EQ(clicks(QStringLiteral("cboUnit")).size(), 2);
    EXPECT_THROW(cbo.setListIndex(5), VbError);
    cbo.Clear();
    EXPECT_EQ(cbo.ListCount(), 0);
    try {
        cbo.setListIndex(0);
        FAIL() << "an empty list has no entry 0";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 380);
    }
}

TEST_F(ControlTest, AComboBoxThatCanBeTypedIntoHoldsTextsThatAreNotInItsList) {
    auto* cbo = new ComboBox(&f, QStringLiteral("cboFreq"), 240, 2400, 1000, 315, vbComboDropdown);
    cbo->show();
    QStringList seen;
    cbo->Change = [&] { seen << QStringLiteral("Change ") + cbo->Text(); };
    cbo->Click = [&] { seen << QStringLiteral("Click ") + cbo->Text(); };
    cbo->AddItem(QStringLiteral("5"));
    cbo->AddItem(QStringLiteral("10"));
    cbo->setText(QStringLiteral("17"));
    EXPECT_EQ(cbo->ListIndex(), -1);
    cbo->SetFocus();
    drive::type(QStringLiteral("5"));
    drive::key(Qt::Key_Return);   // Enter neither adds nor chooses an entry
    EXPECT_EQ(cbo->ListCount(), 2);
    EXPECT_EQ(cbo->Text(), "175");
    cbo->setListIndex(1);
    EXPECT_EQ(cbo->Text(), "10");
    EXPECT_EQ(seen, (QStringList{"Change 17", "Change 175", "Click 10"}));
}

TEST_F(ControlTest, AListBoxRaisesClickForTheUsersChoiceAndForCodesButNotWhenTakingTheFocus) {
    auto* lst = new ListBox(&f, QStringLiteral("lstNames"), 240, 2400, 2000, 1200);
    lst->show();
    QStringList seen;
    lst->Click = [&] { seen << QStringLiteral("Click ") + lst->Text(); };
    lst->DblClick = [&] { seen << QStringLiteral("DblClick ") + lst->Text(); };
    for (const char* n : {"Alpha", "Beta", "Gamma"}) lst->AddItem(QString::fromLatin1(n));
    lst->SetFocus();
    EXPECT_EQ(lst->ListIndex(), -1);
    const QRect beta = lst->visualItemRect(lst->item(1));
    drive::click(lst->viewport(), beta.center());
    QTest::mouseDClick(lst->viewport(), Qt::LeftButton, Qt::NoModifier, beta.center());
    lst->setListIndex(1);
    lst->setListIndex(2);
    lst->RemoveItem(0);
    EXPECT_EQ(lst->ListIndex(), 1);
    EXPECT_EQ(lst->Text(), "Gamma");
    EXPECT_EQ(seen, (QStringList{"Click Beta", "DblClick Beta", "Click Gamma"}));
}

TEST_F(ControlTest, PictureAndComboBoxesRaiseDblClickForALeftDoubleClickOnly) {
    auto* pic = new PictureBox(&f, QStringLiteral("picGraph"), 240, 2400, 2000, 1200);
    auto* typed = new ComboBox(&f, QStringLiteral("cboTyped"), 2400, 2400, 1500, 315);
    auto* listed = new ComboBox(&f, QStringLiteral("cboListed"), 2400, 2800, 1500, 315, vbComboDropdownList);
    auto* data = new DataCombo(&f, QStringLiteral("dcboData"), 2400, 3200, 1500, 315);
    for (QWidget* w : std::initializer_list<QWidget*>{pic, typed, listed, data}) w->show();
    QStringList seen;
    pic->DblClick = [&] { seen << QStringLiteral("pic DblClick"); };
    typed->DblClick = [&] { seen << QStringLiteral("typed DblClick"); };
    listed->DblClick = [&] { seen << QStringLiteral("listed DblClick"); };
    data->DblClick = [&](int16_t Area) { seen << QStringLiteral("data DblClick %1").arg(Area); };

    QTest::mouseDClick(pic, Qt::LeftButton);
    QTest::mouseDClick(pic, Qt::RightButton);
    QTest::mouseDClick(typed->lineEdit(), Qt::LeftButton);
    QTest::mouseDClick(typed->lineEdit(), Qt::RightButton);
    QTest::mouseDClick(listed, Qt::LeftButton);
    if (listed->view()->window()->isVisible()) listed->hidePopup();
    QTest::mouseDClick(data->lineEdit(), Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{"pic DblClick", "typed DblClick", "listed DblClick",
                                 QStringLiteral("data DblClick %1").arg(dbcAreaEdit)}));
}

TEST_F(ControlTest, CheckBoxesAndOptionGroups) {
    f.chkLog->setValue(vbChecked);
    f.chkLog->setValue(vbChecked);
    f.chkLog->setValue(vbGrayed);
    drive::click(f.chkLog);   // a grayed box is checked by a click
    drive::click(f.chkLog);
    EXPECT_EQ(clicks(QStringLiteral("chkLog")), (QStringList{"chkLog_Click 1", "chkLog_Click 2", "chkLog_Click 1", "chkLog_Click 0"}));

    // An option on the window itself is a group of its own, apart from the frame's.
    auto* optOther = new OptionButton(&f, QStringLiteral("optOther"), 240, 2400, 1500, 285);
    optOther->show();
    optOther->setValue(true);
    drive::click(&f.optSide(1), QPoint(6, f.optSide(1).height() / 2));   // on its button
    f.optSide(0).setValue(true);
    EXPECT_EQ(clicks(QStringLiteral("optSide")), (QStringList{"optSide_Click 1", "optSide_Click 0"}));
    EXPECT_FALSE(f.optSide(1).Value());
    EXPECT_TRUE(optOther->Value());
    f.optSide(0).setValue(false);
    EXPECT_FALSE(f.optSide(0).Value());
    EXPECT_FALSE(f.optSide(1).Value());
}

TEST_F(ControlTest, AnUpDownStepsFromWhatItsBuddyHolds) {
    UpDown& upd = *f.updCount;
    QStringList seen;
    upd.Change = [&] { seen << QStringLiteral("Change %1").arg(upd.Value()); };
    upd.UpClick = [&] { seen << QStringLiteral("UpClick"); };
    upd.DownClick = [&] { seen << QStringLiteral("DownClick"); };
    const QPoint up(upd.width() / 2, 2), down(upd.width() / 2, upd.height() - 2);
    drive::click(&upd, up);
    EXPECT_EQ(f.txtCount->Text(), "2");
    f.txtCount->setText(QStringLiteral("98"));
    drive::click(&upd, up);
    drive::click(&upd, up);   // at Max: no change, still an UpClick
    drive::click(&upd, down);
    EXPECT_EQ(f.txtCount->Text(), "98");
    EXPECT_EQ(seen, (QStringList{"Change 2", "UpClick", "Change 99", "UpClick", "UpClick", "Change 98", "DownClick"}));
    EXPECT_THROW(upd.setValue(100), VbError);
}

TEST_F(ControlTest, TextBoxesTypedAndSetByCode) {
    TextBox& txt = *f.txtName;
    txt.setText(QString());
    txt.SetFocus();
    f.events.clear();
    drive::type(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));   // MaxLength 19 stops typing
    EXPECT_EQ(txt.Text(), "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(f.events.size(), 19);
    txt.setText(QStringLiteral("A NAME LONGER THAN NINETEEN"));   // code is not limited
    EXPECT_EQ(txt.Text(), "A NAME LONGER THAN NINETEEN");
    EXPECT_EQ(f.events.last(), "txtName_Change A NAME LONGER THAN NINETEEN");
    txt.setText(QStringLiteral("A NAME LONGER THAN NINETEEN"));
    EXPECT_EQ(f.events.size(), 20);   // no change, no Change

    txt.setPasswordChar(QStringLiteral("*"));
    EXPECT_EQ(txt.lineEditor()->echoMode(), QLineEdit::Password);

    auto* memo = new TextBox(&f, QStringLiteral("txtMemo"), 240, 2400, 3000, 600, true);
    memo->show();
    memo->setText(QStringLiteral("one\rtwo\nthree"));
    EXPECT_EQ(memo->Text(), "one\r\ntwo\r\nthree");
    memo->SetFocus();
    memo->setSelStart(5);   // after "one", CR, LF
    drive::type(QStringLiteral("2"));
    drive::key(Qt::Key_Return);
    EXPECT_EQ(memo->Text(), "one\r\n2\r\ntwo\r\nthree");
    EXPECT_EQ(memo->SelStart(), 8);
    memo->setForeColor(vbcolor::vbRed);
    EXPECT_EQ(memo->multiEditor()->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(memo->ForeColor(), 255);
    // Closing asks about the typed name; Yes discards it.
    answer({vbYes});
    f.close();
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_EQ(boxes().last().prompt, "Discard the changes?");
}

TEST_F(ControlTest, AScrollBarRunsFromMinAtTheTopToMax) {
    auto* vsb = new VScrollBar(&f, QStringLiteral("vsbLevel"), 3900, 0, 255, 1500);
    vsb->show();
    QList<int32_t> seen;
    vsb->Change = [&] { seen << vsb->Value(); };
    vsb->setMin(100);
    vsb->setMax(0);   // Min the larger: the top is 100
    vsb->setValue(100);
    vsb->setSmallChange(5);
    vsb->SetFocus();
    drive::key(Qt::Key_Down);
    EXPECT_EQ(vsb->Value(), 95);
    EXPECT_EQ(seen, (QList<int32_t>{100, 95}));
    EXPECT_THROW(vsb->setValue(101), VbError);
    vsb->setMax(200);   // the right way up again
    vsb->setValue(150);
    drive::key(Qt::Key_Down);
    EXPECT_EQ(vsb->Value(), 155);
}

TEST_F(ControlTest, TheFocusGoesOnlyToAVisibleEnabledControl) {
    f.txtName->SetFocus();
    f.txtCount->hide();
    EXPECT_FALSE(f.txtCount->SetFocusIfAble());
    f.txtCount->show();
    f.txtCount->setEnabled(false);
    EXPECT_FALSE(f.txtCount->SetFocusIfAble());
    EXPECT_FALSE(f.txtCount->Enabled());
    f.txtCount->setEnabled(true);
    EXPECT_TRUE(f.txtCount->SetFocusIfAble());
    EXPECT_EQ(drive::focus(), f.txtCount->keyTarget());
}

TEST_F(ControlTest, LabelsShowTheirCaptionWithOrWithoutAnAccessKey) {
    EXPECT_EQ(f.lblName->Caption(), "&Name");
    EXPECT_EQ(f.lblName->buddy(), f.txtName);
    auto* lbl = new Label(&f, QStringLiteral("lblNote"), 240, 2400, 2000, 285, QStringLiteral("Left && right"));
    EXPECT_EQ(lbl->text(), "Left & right");   // no control to go to: the caption as shown
    EXPECT_EQ(lbl->Caption(), "Left && right");
    lbl->setUseMnemonic(false);
    EXPECT_EQ(lbl->text(), "Left && right");
}

// Only the texts a window gives are shown: a label or a frame made without a
// caption shows none (not its name), and a separator is a line without a text.
TEST_F(ControlTest, LabelsAndFramesWithoutACaptionShowNoneAndASeparatorIsALine) {
    auto* lbl = new Label(&f, QStringLiteral("lblTotal"), 240, 2400, 2000, 285);
    auto* fra = new Frame(&f, QStringLiteral("fraDecide"), 240, 2800, 2000, 600);
    EXPECT_EQ(lbl->text(), "");
    EXPECT_EQ(lbl->Caption(), "");
    EXPECT_EQ(fra->title(), "");
    EXPECT_EQ(f.mnuFileSep->Caption(), "-");
    EXPECT_TRUE(f.mnuFileSep->action()->isSeparator());
    EXPECT_EQ(f.mnuFileSep->action()->text(), "");
}
}
