#pragma once
// Rows the store benchmarks write in the station's own schema: a logged curve
// of 100 points from 20 Hz to 20 kHz, a production row, and the "Typical"
// test, sequence and first calibration row that judge a typical batch (no
// reference: curves as measured).
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "station/ProductionMath.h"
#include <QString>
#include <QStringList>
#include <SQLiteCpp/SQLiteCpp.h>
#include <string>

namespace benchrows {

// The insert of a whole logged-curve row: 9 header fields and 100 levels.
inline SQLite::Statement curveInsert(SQLite::Database& ioSql) {
    QStringList marks;
    for (int i = 0; i < 109; ++i) marks << QStringLiteral("?");
    return SQLite::Statement(ioSql, QStringLiteral("INSERT INTO vexo_crv VALUES (%1)").arg(marks.join(',')).toStdString());
}

// Writes one curve of iModel, serial iSerial, logged on day iDate (the
// station's day numbers), its level at point p given by iLevel(p).
template <class Level>
void insertCurve(SQLite::Statement& ioQ, const QString& iModel, int iSerial, double iDate, Level iLevel) {
    ioQ.bind(1, iModel.toStdString());
    ioQ.bind(2, iSerial);
    ioQ.bind(3, iDate);
    ioQ.bind(4, "Line 1");
    ioQ.bind(5, "Anne");
    ioQ.bind(6, 20);
    ioQ.bind(7, 20000);
    ioQ.bind(8, 100);
    ioQ.bind(9, 0);
    for (int p = 1; p <= 100; ++p) ioQ.bind(9 + p, static_cast<double>(iLevel(p)));
    ioQ.exec();
    ioQ.reset();
}

// Writes production row iRow: a unit of "Demo" (every third row) or "Other"
// that started on day iStart (the station's day numbers) and took two
// seconds; every tenth row a fail.
inline void insertProduction(SQLite::Statement& ioQ, int iRow, double iStart) {
    ioQ.bind(1, iRow % 3 == 0 ? "Demo" : "Other");
    ioQ.bind(2, "Anne");
    ioQ.bind(3, "Line 1");
    ioQ.bind(4, prodmath::dayText(iStart).toStdString());
    ioQ.bind(5, prodmath::dayText(iStart + 0.00002).toStdString());
    ioQ.bind(6, "00000.000000");
    ioQ.bind(7, "1");
    ioQ.bind(8, iRow % 10 == 0 ? "1" : "0");
    ioQ.exec();
    ioQ.reset();
}

// The test, sequence and calibration row named iName that judge a typical batch.
inline void typicalRows(const QString& iName) {
    {
        auto test = OpenDatabase(QStringLiteral("Vexo_Tst.mdb")).OpenRecordset(QStringLiteral("vexo_tst"));
        test->AddNew();
        test->setField(QStringLiteral("Test_Name"), Variant(iName));
        test->setField(QStringLiteral("Test_Type"), Variant(QStringLiteral("Response")));
        test->setField(QStringLiteral("fLo_Hz"), Variant(20.0f));
        test->setField(QStringLiteral("fHi_Hz"), Variant(20000.0f));
        test->setField(QStringLiteral("Swp_Point"), Variant(int16_t(100)));
        test->Update();
    }
    const Database seq = OpenDatabase(QStringLiteral("Vexo_Seq.mdb"));
    auto s = seq.OpenRecordset(QStringLiteral("vexo_seq"));
    s->AddNew();
    s->setField(QStringLiteral("Seq_Name"), Variant(iName));
    s->setField(QStringLiteral("Test_01"), Variant(iName));
    s->setField(QStringLiteral("Test_No"), Variant(int16_t(1)));
    s->Update();
    auto c = seq.OpenRecordset(QStringLiteral("vexo_seq_cal01"));
    c->AddNew();
    c->setField(QStringLiteral("Seq_Name"), Variant(iName));
    c->setField(QStringLiteral("Test_Name"), Variant(iName));
    c->Update();
}

}  // namespace benchrows
