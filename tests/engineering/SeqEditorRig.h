#pragma once
// The sequence editor opened over the main window on a small station: a
// response, a polarity and a sine test, and the sequences the test seeds.
#include "common/frmListAdd.h"
#include "common/frmListGet.h"
#include "engineering/frmMESeq.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/vb/Conversions.h"
#include "test_editor/frmMETest.h"
#include "tests/support/MainWindowRig.h"
#include <QListWidget>

class SeqEditorTest : public MainWindowRig {
protected:
    void SetUp() override {
        MainWindowRig::SetUp();
        seed::add(seed::ResponseTest{.name = QStringLiteral("Resp")});
        addTest(QStringLiteral("Pol"), QStringLiteral("Polarity"));
        addTest(QStringLiteral("Sine"), QStringLiteral("Sine"));
        installJig();
    }
    void TearDown() override {
        endOfScript();
        answer({vbNo, vbNo});   // a question left open by the test drops its edits
        unload<frmMETest>();
        unload<frmMESeq>();
        MainWindowRig::TearDown();
    }

    // The main window on the sequence, then the editor opened over it.
    frmMESeq& open(const QString& iMainSequence = QString()) {
        frmVexo& f = start();
        if (!iMainSequence.isEmpty() && f.dcboSeq->Text() != iMainSequence) {
            drive::click(f.cmdMoreStuff);
            choose(f.dcboSeq, iMainSequence);
        }
        clearBoxes();
        frmMESeq& e = form<frmMESeq>();
        e.Show();
        e.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&e));
        return e;
    }
    static void press(Form& iWindow, Qt::Key iKey, Qt::KeyboardModifiers iMods = Qt::ControlModifier) {
        iWindow.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&iWindow));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &iWindow, iKey, iMods);
    }
    // Add with the picker, clicking the test's entry and OK.
    void pickTests(const QStringList& iNames) {
        for (const QString& name : iNames)
            expectModal<frmListGet>([name](frmListGet& f) {
                for (int i = 0; i < f.lstList->count(); ++i)
                    if (f.lstList->item(i)->text() == name)
                        drive::click(f.lstList->viewport(), f.lstList->visualItemRect(f.lstList->item(i)).center());
                drive::click(f.cmdOK);
            });
    }
    void addTests(frmMESeq& e, const QStringList& iNames) {
        for (const QString& name : iNames) {
            pickTests({name});
            drive::click(e.cmdTestAdd);
        }
        activate(e);
    }
    // Back to the window after a dialog, as the engineer's next click does.
    static void activate(Form& iWindow) {
        iWindow.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&iWindow));
    }
    // The name dialog of New and Save As, with the name typed.
    void nameAs(const QString& iName) {
        expectModal<frmListAdd>([iName](frmListAdd& f) {
            retype(*f.txtList, iName);
            drive::click(f.cmdOK);
        });
    }

    static QStringList entries(const QListWidget& iList) {
        QStringList out;
        for (int i = 0; i < iList.count(); ++i) out << iList.item(i)->text();
        return out;
    }
    // A stored field of a sequence; Null when the sequence is not there.
    static Variant field(const QString& iSeq, const QString& iField) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("SELECT * FROM vexo_seq WHERE Seq_Name = ?"), {Variant(iSeq)});
        return rs->EOF_() ? Variant::null() : rs->field(iField);
    }
    static QStringList slotsOf(const QString& iSeq) {
        QStringList out;
        for (int i = 1; i <= 16; ++i) {
            const Variant v = field(iSeq, QStringLiteral("Test_%1").arg(i, 2, 10, QLatin1Char('0')));
            out << (v.isNull() ? QString() : CStr(v));
        }
        return out;
    }
    static long rows(const QString& iTable, const QString& iSeq = QString()) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
        if (iSeq.isEmpty()) return db.OpenRecordset(iTable)->RecordCount();
        return db.OpenRecordset(QStringLiteral("SELECT * FROM ") + iTable + QStringLiteral(" WHERE Seq_Name = ?"),
                                {Variant(iSeq)})
            ->RecordCount();
    }
    static QString calTable(int k) { return QStringLiteral("vexo_seq_cal%1").arg(k, 2, 10, QLatin1Char('0')); }
    static void exec(const QString& iSql, const QList<Variant>& iParams = {}) {
        OpenDatabase(QStringLiteral("Vexo_Seq.mdb")).Execute(iSql, iParams);
    }
    QStringList prompts() const {
        QStringList out;
        for (const MsgBoxCall& b : boxes()) out << b.prompt;
        return out;
    }
};
