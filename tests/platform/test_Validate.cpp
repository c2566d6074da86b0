// The Validate step: refusing keeps the focus and drops the click that would
// have moved it; Cancel buttons go without it; closing the window runs it; one
// Validate at a time.
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "tests/support/WindowDriver.h"
#include "tests/platform/frmExample.h"
#include "tests/support/StationTest.h"

namespace {
class frmTwoBoxes;

class ValidateTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        ASSERT_TRUE(drive::showActive(f));
        f.txtName->SetFocus();
        f.txtName->setText(QString());
        f.events.clear();
    }
    void TearDown() override;
    bool nameHasFocus() const { return drive::focus() == f.txtName->keyTarget(); }
    frmExample& f = form<frmExample>();
};

TEST_F(ValidateTest, ARefusedValueKeepsTheFocusAndTheClickThatWouldMoveItIsDropped) {
    answer({vbOK});   // "Please enter a name"
    drive::click(f.cmdOK);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes().at(0).prompt, "Please enter a name");
    EXPECT_TRUE(nameHasFocus());
    EXPECT_EQ(f.events, QStringList{QStringLiteral("txtName_Validate")});
    EXPECT_TRUE(f.isVisible());

    answer({vbOK});
    drive::click(f.chkLog);
    EXPECT_EQ(f.chkLog->Value(), vbUnchecked);
    answer({vbOK});
    drive::key(Qt::Key_Tab);
    EXPECT_TRUE(nameHasFocus());
    answer({vbOK});
    f.txtCount->SetFocus();   // code moving the focus is refused too
    EXPECT_TRUE(nameHasFocus());
    EXPECT_EQ(f.events.count(QStringLiteral("txtName_Validate")), 4);
    EXPECT_EQ(boxes().size(), 4);

    drive::type(QStringLiteral("tweeter"));
    drive::click(f.cmdOK);
    EXPECT_TRUE(f.events.contains(QStringLiteral("cmdOK_Click")));
    EXPECT_EQ(f.msName, "TWEETER");
    EXPECT_FALSE(f.isVisible());
}

// On a real display the button goes up while the Validate's message box is
// open, so the refused click's release never reaches the window.
TEST_F(ValidateTest, ARefusedClickWhoseReleaseNeverCameDoesNotSwallowTheNextClick) {
    answer({vbOK});   // "Please enter a name"
    QTest::mousePress(f.cmdOK, Qt::LeftButton);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_TRUE(nameHasFocus());
    drive::type(QStringLiteral("woofer"));
    drive::click(f.cmdOK);
    EXPECT_TRUE(f.events.contains(QStringLiteral("cmdOK_Click")));
}

TEST_F(ValidateTest, ACancelButtonTakesTheFocusWithoutTheValidate) {
    answer({vbYes});   // discard the changes
    drive::click(f.cmdCancel);
    EXPECT_FALSE(f.events.contains(QStringLiteral("txtName_Validate")));
    EXPECT_TRUE(f.events.contains(QStringLiteral("cmdCancel_Click")));
    EXPECT_TRUE(f.Unloaded());
}

TEST_F(ValidateTest, ClosingTheWindowRunsTheValidateOfTheFocusedBox) {
    answer({vbOK});   // "Please enter a name"
    f.close();
    EXPECT_EQ(f.events, QStringList{QStringLiteral("txtName_Validate")});
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(isLoaded<frmExample>());
    drive::type(QStringLiteral("x"));
    answer({vbYes});
    f.close();
    EXPECT_FALSE(isLoaded<frmExample>());
}

// Two boxes whose Validate refuses, shows a message and gives the focus back to
// its own box: the message box and the focus given back start no Validate.
class frmTwoBoxes : public Form {
public:
    frmTwoBoxes() : Form(QStringLiteral("frmTwoBoxes")) {
        setClientSize(3000, 1200);
        txtA = new TextBox(this, QStringLiteral("txtA"), 120, 120, 2700, 285);
        txtB = new TextBox(this, QStringLiteral("txtB"), 120, 600, 2700, 285);
        txtA->Validate = [this](bool& Cancel) { refuse(txtA, QStringLiteral("A"), Cancel); };
        txtB->Validate = [this](bool& Cancel) { refuse(txtB, QStringLiteral("B"), Cancel); };
    }
    TextBox* txtA;
    TextBox* txtB;
    QStringList validated;

private:
    void refuse(TextBox* iBox, const QString& iWho, bool& Cancel) {
        validated << iWho;
        gMsgBox(QStringLiteral("No"), vbExclamation);
        txtB->SetFocus();   // would start B's Validate if validations nested
        iBox->SetFocusIfAble();
        Cancel = true;
    }
};

void ValidateTest::TearDown() {
    endOfScript();
    answer({vbYes});   // the example window, left with an edit, asks whether to discard it
    unload<frmExample>();
    unload<frmTwoBoxes>();
    StationTest::TearDown();
}

TEST_F(ValidateTest, OnlyOneValidateRunsAtATime) {
    frmTwoBoxes& w = form<frmTwoBoxes>();
    ASSERT_TRUE(drive::showActive(w));
    w.txtA->SetFocus();
    answer({vbOK});   // A's refusal, and no second one
    drive::click(w.txtB);
    EXPECT_EQ(w.validated, QStringList{QStringLiteral("A")});
    EXPECT_EQ(drive::focus(), w.txtA->keyTarget());
}
}
