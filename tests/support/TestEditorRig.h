#pragma once
// The test editor opened from the main window on the jig, over tests and
// sequences seeded through the record builders, with what the engineer does
// in it (choose a test, retype a box, press a shortcut) and what is stored.
#include "common/StationRecords.h"
#include "platform/data/Database.h"
#include "platform/vb/Conversions.h"
#include "test_editor/frmMETest.h"
#include "test_editor/frmMETestExtDistortion.h"
#include "test_editor/frmMETestPolarity.h"
#include "test_editor/frmMETestResponse.h"
#include "test_editor/frmMETestSine.h"
#include "tests/support/MainWindowRig.h"

class TestEditorRig : public MainWindowRig {
protected:
    void TearDown() override {
        endOfScript();
        answer({vbNo});   // a question left open by the test drops its edits
        for (auto close : {+[] { unload<frmMETestResponse>(); }, +[] { unload<frmMETestPolarity>(); },
                           +[] { unload<frmMETestSine>(); }, +[] { unload<frmMETestExtDistortion>(); },
                           +[] { unload<frmMETest>(); }})
            close();
        MainWindowRig::TearDown();
    }
    // Starts the main window and opens the editor on its first (or last shown) test.
    frmMETest& open() {
        start();
        clearBoxes();
        frmMETest& t = form<frmMETest>();
        EXPECT_TRUE(drive::showActive(t));
        return t;
    }
    // Picks the test in the editor's combo as the engineer does.
    void pick(frmMETest& t, const QString& iName) {
        choose(t.dcboTest, iName);
        QCoreApplication::processEvents();
        // The closed list leaves the focus nowhere: the engineer is back in the combo.
        if (!t.isActiveWindow()) { EXPECT_TRUE(drive::showActive(t)); }
        if (!drive::focus() || drive::focus()->window() != &t) t.dcboTest->SetFocusIfAble();
    }
    // Replaces a box's text by typing; an empty text deletes it.
    static void retype(TextBox& ioBox, const QString& iText) {
        focusIn(ioBox);
        ioBox.setSelStart(0);
        ioBox.setSelLength(int32_t(ioBox.Text().size()));
        if (iText.isEmpty()) drive::key(Qt::Key_Backspace);
        else drive::type(iText);
    }
    // Clicks a check box on its box (a click beside the caption does nothing).
    static void tick(QWidget* ioCheckBox) { drive::click(ioCheckBox, QPoint(6, ioCheckBox->height() / 2)); }
    // Puts the focus in a control (an editor's control brings the editor to the front first).
    static void focusIn(Control& ioControl) {
        if (isLoaded<frmMETest>() && ioControl.form() == &form<frmMETest>() && !form<frmMETest>().isActiveWindow()) {
            EXPECT_TRUE(drive::showActive(form<frmMETest>()));
        }
        ioControl.SetFocus();
    }
    // A shortcut in the editor; after a dialog the editor is clicked first.
    static void ctrl(Qt::Key iKey) {
        frmMETest& t = form<frmMETest>();
        if (!t.isActiveWindow()) { EXPECT_TRUE(drive::showActive(t)); }
        if (!drive::focus() || drive::focus()->window() != &t) t.dcboTest->SetFocusIfAble();
        drive::key(iKey, Qt::ControlModifier);
    }

    // Gives the seeded tests what every test the editor makes carries.
    void completeTests() const { seed::completeTests(); }

    // ---- what is stored
    QString testDb() const { return homeFile(QStringLiteral("Vexo_Tst.mdb")); }
    Variant stored(const QString& iTest, const QString& iField) const {
        Database db = OpenDatabase(testDb());
        std::unique_ptr<Recordset> rs = db.OpenRecordset(QStringLiteral("vexo_tst"));
        rs->FindFirst(QStringLiteral("Test_Name = ?"), Variant(iTest));
        if (rs->NoMatch()) return Variant::null();
        return rs->field(iField);
    }
    bool exists(const QString& iTest) const {
        Database db = OpenDatabase(testDb());
        std::unique_ptr<Recordset> rs = db.OpenRecordset(QStringLiteral("vexo_tst"));
        rs->FindFirst(QStringLiteral("Test_Name = ?"), Variant(iTest));
        return !rs->NoMatch();
    }
    long testCount() const {
        Database db = OpenDatabase(testDb());
        return db.OpenRecordset(QStringLiteral("vexo_tst"))->RecordCount();
    }
    // Every field of a test as text, to see that a row was left alone.
    QStringList row(const QString& iTest) const {
        Database db = OpenDatabase(testDb());
        std::unique_ptr<Recordset> rs = db.OpenRecordset(QStringLiteral("vexo_tst"));
        rs->FindFirst(QStringLiteral("Test_Name = ?"), Variant(iTest));
        QStringList out;
        for (int i = 0; i < rs->fieldCount(); ++i) out << (rs->field(i).isNull() ? QStringLiteral("<null>") : CStr(rs->field(i)));
        return out;
    }
    double lastCali(const QString& iSeq) const {
        Database db = OpenDatabase(homeFile(QStringLiteral("Vexo_Seq.mdb")));
        std::unique_ptr<Recordset> rs = db.OpenRecordset(QStringLiteral("vexo_seq"));
        rs->FindFirst(QStringLiteral("Seq_Name = ?"), Variant(iSeq));
        return SequenceRecord(*rs).Last_Cali();
    }
    // The prompts of the save question shown so far.
    int saveQuestions() const {
        int n = 0;
        for (const MsgBoxCall& b : boxes()) n += b.prompt.startsWith(QStringLiteral("Save changes to the test ")) ? 1 : 0;
        return n;
    }
};
