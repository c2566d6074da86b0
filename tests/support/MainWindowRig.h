#pragma once
// The main window on the simulated jig, in a fresh program folder: records
// made before start-up, the window brought up as the program does, and the
// operator's choices made in its combo boxes.
#include "common/StationRecords.h"
#include "common/modDatabaseSchema.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/FormRegistry.h"
#include "station/DemoStation.h"
#include "station/frmVexo.h"
#include "tests/common/DialogTest.h"
#include "tests/support/JigBench.h"
#include <QAbstractItemView>
#include <QComboBox>

class MainWindowRig : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        gDatabaseSchemaRegister();
        DrawSurface::setOpLogForNewSurfaces(true);
    }
    void TearDown() override {
        if (isLoaded<frmVexo>()) unload<frmVexo>();
        DrawSurface::setOpLogForNewSurfaces(false);
        sound::setBackend(nullptr);
        DialogTest::TearDown();
    }

    sound::JigBackend& installJig(const sound::JigConfig& iConfig = sound::JigConfig::standard()) {
        mJig = &jigbench::installJig(iConfig);
        return *mJig;
    }
    sound::JigBackend& jig() { return *mJig; }

    // Loads the main window (its load step shows it) and gives it the focus.
    frmVexo& start() {
        frmVexo& f = form<frmVexo>();
        f.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        return f;
    }
    // Closes the window as the user does (the close box), then releases it.
    void closeWindow() {
        form<frmVexo>().close();
        unload<frmVexo>();
    }

    // ---- records, as the editors leave them
    static void addTest(const QString& iName, const QString& iType) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Tst.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("vexo_tst"));
        rs->AddNew();
        rs->setField(QStringLiteral("Test_Name"), iName);
        rs->setField(QStringLiteral("Test_Type"), iType);
        rs->setField(QStringLiteral("fLo_Hz"), int32_t{20});
        rs->setField(QStringLiteral("fHi_Hz"), int32_t{20000});
        rs->setField(QStringLiteral("Swp_Point"), int16_t{50});
        rs->Update();
    }
    // Slots as given ("" leaves a slot blank), with its sixteen calibration rows.
    static void addSequence(const QString& iName, const QStringList& iSlots, float iRefLim = 0.0f,
                            float iSelLim = 0.0f) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
        auto seq = db.OpenRecordset(QStringLiteral("vexo_seq"));
        seq->AddNew();
        seq->setField(QStringLiteral("Seq_Name"), iName);
        seq->setField(QStringLiteral("Test_No"), static_cast<int16_t>(iSlots.size()));
        for (int i = 0; i < iSlots.size(); ++i)
            if (!iSlots[i].isEmpty()) seq->setField(SequenceRecord::slotField(i + 1), iSlots[i]);
        seq->setField(QStringLiteral("Ref_Lim"), iRefLim);
        seq->setField(QStringLiteral("Sel_Lim"), iSelLim);
        seq->Update();
        for (int slot = 1; slot <= 16; ++slot) {
            auto cal = db.OpenRecordset(QStringLiteral("vexo_seq_cal%1").arg(slot, 2, 10, QLatin1Char('0')));
            cal->AddNew();
            cal->setField(QStringLiteral("Seq_Name"), iName);
            cal->setField(QStringLiteral("Test_Name"), QStringLiteral(" "));
            cal->Update();
        }
    }
    static void addOperator(const QString& iName) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Op.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("vexo_op"));
        rs->AddNew();
        rs->setField(QStringLiteral("Operator"), iName);
        rs->Update();
    }

    // ---- the operator's part
    // Opens the combo box's list and clicks the entry with the text.
    static void choose(QComboBox* ioCombo, const QString& iText) {
        const int i = ioCombo->findText(iText, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_GE(i, 0) << iText.toStdString();
        ioCombo->showPopup();
        QAbstractItemView* view = ioCombo->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndex index = view->model()->index(i, ioCombo->modelColumn(), view->rootIndex());
        view->scrollTo(index);
        const QPoint at = view->visualRect(index).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        if (view->window()->isVisible()) ioCombo->hidePopup();
    }

    // What was written on a picture: the texts in order with their colours.
    static QList<QPair<QString, int32_t>> texts(const DrawSurface& iSurface) {
        QList<QPair<QString, int32_t>> out;
        for (const DrawOp& op : iSurface.ops())
            if (op.kind == DrawOpKind::Text) out << qMakePair(op.text, op.color);
        return out;
    }

    // Every value of every control of the card's mixer, in listing order.
    std::vector<int32_t> mixerValues() {
        std::vector<int32_t> v;
        auto add = [&](const sound::MixerLineModel& iLine) {
            for (const sound::MixerControlModel& c : iLine.controls)
                if (!c.isMeter()) v.insert(v.end(), c.values.begin(), c.values.end());
        };
        for (const sound::MixerDestinationModel& d : jig().cardMixer().destinations) {
            add(d.line);
            for (const sound::MixerLineModel& s : d.sources) add(s);
        }
        return v;
    }

private:
    sound::JigBackend* mJig = nullptr;
};
