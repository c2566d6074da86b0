// Controls bound to a data control: what the user edits is written when the
// data control moves, and the controls are refilled from the new record.
#include "platform/ui/CheckBox.h"
#include "platform/ui/DataCombo.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"
#include "platform/vb/Conversions.h"
#include "tests/platform/DataTestSchema.h"
#include "tests/support/WindowDriver.h"

namespace {
// A record-editing window: name, test number and active flag of the current
// sequence, and a data-bound combo listing the names to go to.
class frmSeqEdit : public Form {
public:
    frmSeqEdit() : Form(QStringLiteral("frmSeqEdit")) {
        setClientSize(4500, 2400);
        dtaSeq = std::make_unique<DataControl>(QStringLiteral("dtaSeq"));
        dtaSeq->setDatabaseName(QStringLiteral("\\Test_Seq.mdb"));
        dtaSeq->setRecordSource(QStringLiteral("seq"));
        dcboName = new DataCombo(this, QStringLiteral("dcboName"), 240, 120, 2000, 315, vbComboDropdownList);
        dcboName->setRowSource(dtaSeq.get());
        dcboName->setListField(QStringLiteral("Seq_Name"));
        lblName = new Label(this, QStringLiteral("lblName"), 2400, 120, 1800, 285);
        txtName = new TextBox(this, QStringLiteral("txtName"), 240, 600, 2000, 285);
        txtTestNo = new TextBox(this, QStringLiteral("txtTestNo"), 240, 1080, 1000, 285);
        chkActive = new CheckBox(this, QStringLiteral("chkActive"), 240, 1560, 2000, 285, QStringLiteral("&Active"));
        lblName->setDataSource(dtaSeq.get());
        lblName->setDataField(QStringLiteral("Seq_Name"));
        txtName->setDataSource(dtaSeq.get());
        txtName->setDataField(QStringLiteral("Seq_Name"));
        txtTestNo->setDataSource(dtaSeq.get());
        txtTestNo->setDataField(QStringLiteral("Test_No"));
        chkActive->setDataSource(dtaSeq.get());
        chkActive->setDataField(QStringLiteral("Active"));
        txtTestNo->Change = [this] { changes << QStringLiteral("txtTestNo ") + txtTestNo->Text(); };
        lblName->Change = [this] { changes << QStringLiteral("lblName ") + lblName->Caption(); };
        dcboName->Click = [this] {
            dtaSeq->Recordset().FindFirst(QStringLiteral("Seq_Name = ?"), Variant(dcboName->Text()));
        };
        Load = [this] {
            dtaSeq->Refresh();
            dcboName->ReFill();
        };
    }
    std::unique_ptr<DataControl> dtaSeq;
    DataCombo* dcboName;
    Label* lblName;
    TextBox* txtName;
    TextBox* txtTestNo;
    CheckBox* chkActive;
    QStringList changes;
};

class BoundTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        auto rs = seqSet();
        addSeq(*rs, QStringLiteral("A"), 1);
        addSeq(*rs, QStringLiteral("B"), 2);
        addSeq(*rs, QStringLiteral("C"), 3);
    }
    void TearDown() override {
        endOfScript();
        unload<frmSeqEdit>();
        DataTest::TearDown();
    }
    static Variant stored(const QString& iName, const QString& iField) {
        auto rs = seqSet();
        rs->FindFirst(QStringLiteral("Seq_Name = ?"), Variant(iName));
        return rs->field(iField);
    }
};

TEST_F(BoundTest, ABoundTextBoxEditedIsWrittenWhenTheDataControlMovesAndTheBoxesAreRefilled) {
    frmSeqEdit& f = form<frmSeqEdit>();
    ASSERT_TRUE(drive::showActive(f));
    EXPECT_EQ(f.txtName->Text(), "A");
    EXPECT_EQ(f.txtTestNo->Text(), "1");
    EXPECT_EQ(f.lblName->Caption(), "A");
    EXPECT_EQ(f.chkActive->Value(), vbUnchecked);
    EXPECT_FALSE(f.txtTestNo->DataChanged());

    f.txtTestNo->SetFocus();
    f.txtTestNo->setSelStart(0);
    f.txtTestNo->setSelLength(1);
    drive::type(QStringLiteral("7"));
    drive::click(f.chkActive, QPoint(8, f.chkActive->height() / 2));
    EXPECT_EQ(f.chkActive->Value(), vbChecked);
    EXPECT_TRUE(f.txtTestNo->DataChanged());
    f.changes.clear();

    f.dtaSeq->Recordset().MoveNext();
    EXPECT_EQ(CInt(stored(QStringLiteral("A"), QStringLiteral("Test_No"))), 7);
    EXPECT_TRUE(CBool(stored(QStringLiteral("A"), QStringLiteral("Active"))));
    EXPECT_EQ(f.txtName->Text(), "B");
    EXPECT_EQ(f.txtTestNo->Text(), "2");
    EXPECT_EQ(f.chkActive->Value(), vbUnchecked);
    EXPECT_EQ(f.changes, (QStringList{"lblName B", "txtTestNo 2"}));
    EXPECT_FALSE(f.txtTestNo->DataChanged() || f.chkActive->DataChanged() || f.txtName->DataChanged());

    // Nothing edited: moving writes nothing.
    f.dtaSeq->Recordset().MovePrevious();
    EXPECT_EQ(f.txtTestNo->Text(), "7");
    EXPECT_EQ(CInt(stored(QStringLiteral("B"), QStringLiteral("Test_No"))), 2);
}

TEST_F(BoundTest, ADataBoundComboListsAFieldOfItsRowSourceAndIsReadAgainByReFill) {
    frmSeqEdit& f = form<frmSeqEdit>();
    ASSERT_TRUE(drive::showActive(f));
    EXPECT_STREQ(f.dcboName->kind(), "DBCombo");
    EXPECT_EQ(f.dcboName->ListCount(), 3);
    EXPECT_EQ(f.dcboName->List(2), "C");
    EXPECT_EQ(f.dcboName->ListIndex(), -1);
    EXPECT_EQ(f.txtName->Text(), "A");   // reading the list moved no record

    f.dcboName->SetFocus();
    drive::key(Qt::Key_End);   // the user picks "C"
    EXPECT_EQ(f.dcboName->Text(), "C");
    EXPECT_EQ(f.txtName->Text(), "C");
    EXPECT_EQ(f.txtTestNo->Text(), "3");

    auto rs = seqSet();
    addSeq(*rs, QStringLiteral("D"), 4);
    f.dcboName->ReFill();
    EXPECT_EQ(f.dcboName->ListCount(), 4);
    EXPECT_EQ(f.dcboName->Text(), "C");
}

TEST_F(BoundTest, EachEntryOfADataBoundComboKnowsItsOwnRow) {
    auto rs = seqSet();
    addSeq(*rs, QStringLiteral("B"), 9);   // two rows with one text
    frmSeqEdit& f = form<frmSeqEdit>();
    ASSERT_TRUE(drive::showActive(f));
    EXPECT_FALSE(f.dcboName->SelectedItem().valid);   // nothing chosen yet

    f.dcboName->Click = nullptr;
    f.dcboName->setListIndex(3);
    ASSERT_TRUE(f.dcboName->SelectedItem().valid);
    f.dtaSeq->Recordset().setBookmark(f.dcboName->SelectedItem());
    EXPECT_EQ(f.txtTestNo->Text(), "9");
    f.dcboName->setListIndex(1);
    f.dtaSeq->Recordset().setBookmark(f.dcboName->SelectedItem());
    EXPECT_EQ(f.txtTestNo->Text(), "2");

    // The rows move up when one goes; a new reading follows them.
    f.dtaSeq->Recordset().MoveFirst();
    f.dtaSeq->Recordset().Delete();
    f.dcboName->ReFill();
    f.dcboName->setListIndex(0);
    f.dtaSeq->Recordset().setBookmark(f.dcboName->SelectedItem());
    EXPECT_EQ(f.txtName->Text(), "B");
    EXPECT_EQ(f.txtTestNo->Text(), "2");
}
}
