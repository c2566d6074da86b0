#pragma once
// The station rig: the main window on the simulated jig (the standard one
// unless the case installs another) with a chosen unit model, in a fresh
// program folder seeded through the record builders before start-up, the
// window brought up as the program does, and the operator's choices made in
// its combo boxes.
#include "common/StationRecords.h"
#include "common/modDatabaseSchema.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/FormRegistry.h"
#include "station/DemoStation.h"
#include "station/frmVexo.h"
#include "tests/support/DialogTest.h"
#include "tests/support/JigBench.h"
#include "tests/support/RecordBuilders.h"
#include <QAbstractItemView>
#include <QComboBox>

class MainWindowRig : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        gDatabaseSchemaRegister();
        DrawSurface::setOpLogForNewSurfaces(true);
        // The station's sound card: the standard jig, until the case chooses another.
        installJig();
    }
    void TearDown() override {
        endOfScript();
        if (isLoaded<frmVexo>()) unload<frmVexo>();
        DrawSurface::setOpLogForNewSurfaces(false);
        sound::setBackend(nullptr);
        DialogTest::TearDown();
    }

    sound::JigBackend& installJig(const sound::JigConfig& iConfig = sound::JigConfig::standard()) {
        mJig = &jigbench::installJig(iConfig);
        return *mJig;
    }
    // The standard jig with the unit under test.
    sound::JigBackend& installJig(const sound::UnitModel& iUnit) {
        sound::JigConfig config = sound::JigConfig::standard();
        config.unit = iUnit;
        return installJig(config);
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

    // ---- records, as the editors leave them (more through seed::add)
    static void addTest(const QString& iName, const QString& iType) { seed::add(seed::PlainTest{.name = iName, .type = iType}); }
    // Slots as given ("" leaves a slot blank), with its sixteen calibration rows.
    static void addSequence(const QString& iName, const QStringList& iSlots, float iRefLim = 0.0f,
                            float iSelLim = 0.0f) {
        seed::add(seed::Sequence{.name = iName, .tests = iSlots, .refLim = iRefLim, .selLim = iSelLim});
    }
    static void addOperator(const QString& iName) { seed::addOperator(iName); }

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
