#pragma once
#include "common/modVarSystemParams.h"
#include "engineering/frmMESeq.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/os/Settings.h"
#include "platform/vb/Conversions.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include "supervisor/frmMPairMatch.h"
#include "tests/support/DialogTest.h"
#include "tests/support/JigBench.h"
#include "tests/support/RecordBuilders.h"
#include <QStringList>

// The pair-match window opened directly on a curve store the test fills.
class PairMatchTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        jigbench::installJig();
        main = &form<frmVexo>();
        gsStationName = QStringLiteral("Line 2");
    }
    void TearDown() override {
        endOfScript();
        unload<frmMPairMatch>();
        unload<frmMESeq>();
        unload<frmVexo>();
        sound::setBackend(nullptr);
        DialogTest::TearDown();
    }

    // Logs flat curves of the model at the given levels, with their serials, in order.
    void log(const QString& iModel, const QList<QPair<int32_t, float>>& iUnits, int16_t iPoints = 100) {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
        QStringList fields{QStringLiteral("Model_Name"), QStringLiteral("Serial_Number"), QStringLiteral("Swp_Point")};
        QStringList marks{QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?")};
        for (int p = 1; p <= iPoints; ++p) {
            fields << QStringLiteral("Curve%1").arg(p, 3, 10, QLatin1Char('0'));
            marks << QStringLiteral("?");
        }
        const QString sql = QStringLiteral("INSERT INTO vexo_crv (%1) VALUES (%2)").arg(fields.join(','), marks.join(','));
        db.BeginTrans();
        for (const auto& [serial, level] : iUnits) {
            QList<Variant> values{Variant(iModel), Variant(serial), Variant(iPoints)};
            for (int p = 1; p <= iPoints; ++p) values << Variant(level);
            db.Execute(sql, values);
        }
        db.CommitTrans();
    }
    // The store's rows as "model/serial", in table order.
    QStringList stored() const {
        const Database db = OpenDatabase(QStringLiteral("Vexo_Crv.mdb"));
        auto rs = db.OpenRecordset(QStringLiteral("SELECT Model_Name, Serial_Number FROM vexo_crv"));
        QStringList rows;
        for (; !rs->EOF_(); rs->MoveNext())
            rows << CStr(rs->field(0)) + QLatin1Char('/') + CStr(rs->field(1));
        return rows;
    }
    void saveParameters(const QString& iStart, const QString& iEnd, const QString& iWorst = QStringLiteral("1.44"),
                        const QString& iAverage = QStringLiteral("0.38")) {
        saveUserSetting(QStringLiteral("frmMPairMatch.txtBatchStart"), iStart);
        saveUserSetting(QStringLiteral("frmMPairMatch.txtBatchEnd"), iEnd);
        saveUserSetting(QStringLiteral("frmMPairMatch.txtWorstLim"), iWorst);
        saveUserSetting(QStringLiteral("frmMPairMatch.txtAveLim"), iAverage);
    }
    // Opens the window as the station would with the model chosen in the main
    // window; with the engineer's rights the parameters can be edited.
    frmMPairMatch& open(const QString& iModel, bool iEngineer = false) {
        main->dtaCurve.Refresh();
        main->dcboSeq->setText(iModel);
        if (iEngineer) {
            // The engineer's sequence editor open on the model, which names it then.
            const Database db = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
            if (db.OpenRecordset(QStringLiteral("SELECT * FROM vexo_seq WHERE Seq_Name = ?"), {Variant(iModel)})->EOF_())
                seed::add(seed::Sequence{.name = iModel});
            EXPECT_EQ(form<frmMESeq>().dcboSeq->Text(), iModel);
        }
        frmMPairMatch& f = form<frmMPairMatch>();
        f.Show();
        f.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        return f;
    }
    static QStringList lines(const frmMPairMatch& iForm) {
        QStringList l;
        for (int32_t i = 0; i < iForm.lstPair->ListCount(); ++i) l << iForm.lstPair->List(i);
        return l;
    }
    static QStringList entries(const frmMPairMatch& iForm) {
        QStringList l;
        for (int32_t i = 0; i < iForm.cboSeq->ListCount(); ++i) l << iForm.cboSeq->List(i);
        return l;
    }
    // Leaves a box with Tab, which runs its check.
    static void leave(TextBox& ioBox) {
        ioBox.SetFocus();
        drive::key(Qt::Key_Tab);
    }

    frmVexo* main = nullptr;
};
