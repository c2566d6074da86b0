#include "tests/platform/DataTestSchema.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/DateTime.h"
#include <SQLiteCpp/SQLiteCpp.h>

class RecordsetTest : public DataTest {};

TEST_F(RecordsetTest, RecordsKeepInsertionOrderAndNewOnesStartWithTheDefaults) {
    auto rs = seqSet();
    addSeq(*rs, QStringLiteral("Zulu"));
    addSeq(*rs, QStringLiteral("alpha"));
    rs->AddNew();
    EXPECT_EQ(rs->EditMode(), dbEditAdd);
    EXPECT_TRUE(rs->field(QStringLiteral("Seq_Name")).isNull());
    EXPECT_TRUE(rs->field(QStringLiteral("Test_No")).sameAs(Variant(int16_t(0))));
    EXPECT_TRUE(rs->field(QStringLiteral("Serial_No")).sameAs(Variant(int32_t(0))));
    EXPECT_TRUE(rs->field(QStringLiteral("Active")).sameAs(Variant(false)));
    EXPECT_TRUE(rs->field(QStringLiteral("Last_Cali")).sameAs(Variant::date(0)));
    EXPECT_TRUE(rs->field(QStringLiteral("Swp_Type")).sameAs(Variant("No Sweep")));
    EXPECT_TRUE(rs->field(QStringLiteral("Gain")).isNull());
    rs->setField(QStringLiteral("Seq_Name"), "Mike");
    rs->Update();
    EXPECT_EQ(names(*rs), (QStringList{"Zulu", "alpha", "Mike"}));
    EXPECT_EQ(rs->RecordCount(), 3);

    // The stored record has the defaults too, and reads back with the field types.
    rs->MoveLast();
    EXPECT_TRUE(rs->field(QStringLiteral("Swp_Type")).sameAs(Variant("No Sweep")));
    EXPECT_TRUE(rs->field(QStringLiteral("Active")).sameAs(Variant(false)));
    EXPECT_EQ(rs->AbsolutePosition(), 2);

    // A required field left Null is refused.
    rs->AddNew();
    EXPECT_EQ(errorOf([&] { rs->Update(); }), 3314);
    rs->CancelUpdate();
    EXPECT_EQ(rs->RecordCount(), 3);
}

TEST_F(RecordsetTest, UpdateAddsAtTheEndAndKeepsTheCurrentRecord) {
    auto rs = seqSet();
    addSeq(*rs, QStringLiteral("A"));
    addSeq(*rs, QStringLiteral("B"));
    rs->MoveFirst();
    const RecordBookmark added = addSeq(*rs, QStringLiteral("C"));
    EXPECT_EQ(rs->field(0).text(), QStringLiteral("A"));   // still the record before AddNew
    rs->setBookmark(added);
    EXPECT_EQ(rs->field(0).text(), QStringLiteral("C"));
    EXPECT_EQ(rs->AbsolutePosition(), 2);
    EXPECT_EQ(rs->Bookmark(), added);
    EXPECT_EQ(errorOf([&] { rs->setBookmark(RecordBookmark()); }), 3159);
}

TEST_F(RecordsetTest, UpdateWritesOnlyTheFieldsAssigned) {
    auto one = seqSet();
    auto two = seqSet();
    addSeq(*one, QStringLiteral("A"), 1);
    two->Requery();
    one->MoveFirst();
    one->Edit();
    two->Edit();
    two->setField(QStringLiteral("Gain"), 6.0);
    two->Update();
    one->setField(QStringLiteral("Test_No"), Variant(int32_t(5)));
    one->Update();
    EXPECT_EQ(one->field(QStringLiteral("Gain")).number(), 6.0);   // the other handle's field survives
    EXPECT_EQ(one->field(QStringLiteral("Test_No")).number(), 5);

    EXPECT_EQ(errorOf([&] { one->Update(); }), 3020);
    EXPECT_EQ(errorOf([&] { one->setField(0, "X"); }), 3020);
    one->Edit();
    one->setField(0, "X");
    one->CancelUpdate();
    EXPECT_EQ(one->field(0).text(), QStringLiteral("A"));
}

TEST_F(RecordsetTest, ValuesAreCheckedOnWriteAndNullIsAValue) {
    auto rs = seqSet();
    addSeq(*rs, QStringLiteral("A"));
    rs->MoveFirst();
    EXPECT_TRUE(rs->field(QStringLiteral("Level")).isNull());
    EXPECT_EQ(errorOf([&] { CSng(rs->field(QStringLiteral("Level"))); }), vberr::kInvalidUseOfNull);
    EXPECT_EQ(errorOf([&] { CStr(rs->field(QStringLiteral("Notes"))); }), vberr::kInvalidUseOfNull);

    rs->Edit();
    EXPECT_EQ(errorOf([&] { rs->setField(QStringLiteral("Test_No"), Variant(int32_t(32768))); }), vberr::kOverflow);
    EXPECT_EQ(errorOf([&] { rs->setField(QStringLiteral("Test_No"), "-32769"); }), vberr::kOverflow);
    EXPECT_EQ(errorOf([&] { rs->setField(QStringLiteral("Serial_No"), 3e9); }), vberr::kOverflow);
    EXPECT_EQ(errorOf([&] { rs->setField(QStringLiteral("Test_No"), ""); }), 3421);   // empty number box
    EXPECT_EQ(errorOf([&] { rs->setField(QStringLiteral("Gain"), "abc"); }), 3421);
    try {
        rs->setField(QStringLiteral("Seq_Name"), QStringLiteral("x").repeated(21));
        ADD_FAILURE() << "a text longer than its field was taken";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 3163);
        EXPECT_TRUE(e.description.contains(QStringLiteral("Seq_Name")));
    }
    rs->setField(QStringLiteral("Seq_Name"), QStringLiteral("x").repeated(20));
    rs->setField(QStringLiteral("Test_No"), "-32768");
    rs->setField(QStringLiteral("Serial_No"), 2.5);               // rounds half to even
    rs->setField(QStringLiteral("Level"), "1.5");                 // a text in the user's number format
    rs->setField(QStringLiteral("Active"), Variant(int32_t(1)));
    rs->setField(QStringLiteral("Last_Cali"), Variant::date(vbDateSerial(2026, 12, 7) + 0.5));
    rs->setField(QStringLiteral("Gain"), Variant::null());
    rs->Update();

    EXPECT_TRUE(rs->field(QStringLiteral("Test_No")).sameAs(Variant(int16_t(-32768))));
    EXPECT_TRUE(rs->field(QStringLiteral("Serial_No")).sameAs(Variant(int32_t(2))));
    EXPECT_TRUE(rs->field(QStringLiteral("Level")).sameAs(Variant(1.5f)));
    EXPECT_TRUE(rs->field(QStringLiteral("Active")).sameAs(Variant(true)));
    EXPECT_TRUE(rs->field(QStringLiteral("Gain")).isNull());
    SQLite::Database& raw = rs->database().sqlite();
    EXPECT_EQ(raw.execAndGet("SELECT Active FROM seq").getInt(), -1);
    EXPECT_EQ(raw.execAndGet("SELECT typeof(Last_Cali) FROM seq").getString(), "real");
    EXPECT_DOUBLE_EQ(raw.execAndGet("SELECT Last_Cali FROM seq").getDouble(), vbDateSerial(2026, 12, 7) + 0.5);

    // Any non-zero number stored by someone else reads as True.
    raw.exec("UPDATE seq SET Active = 1");
    rs->Requery();
    EXPECT_TRUE(CBool(rs->field(QStringLiteral("Active"))));
}

TEST_F(RecordsetTest, FieldNamesAndFindsIgnoreCase) {
    auto rs = seqSet();
    addSeq(*rs, QStringLiteral("Alpha"), 1);
    addSeq(*rs, QStringLiteral("O'Brien"), 2);
    addSeq(*rs, QStringLiteral("alpha"), 3);
    addSeq(*rs, QStringLiteral("Beta"), 4);
    rs->MoveFirst();
    rs->Edit();
    rs->setField(QStringLiteral("layer1_pt#"), 3.5);
    rs->Update();
    EXPECT_EQ(rs->field(QStringLiteral("LAYER1_PT#")).number(), 3.5);
    EXPECT_EQ(rs->fieldIndex(QStringLiteral("seq_name")), 0);
    EXPECT_EQ(errorOf([&] { rs->field(QStringLiteral("Nope")); }), 3265);

    rs->FindFirst(QStringLiteral("SEQ_NAME = 'ALPHA'"));
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 1);
    rs->FindNext(QStringLiteral("Seq_Name  ='alpha'"));
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 3);
    rs->FindPrevious(QStringLiteral("Seq_Name  = 'Alpha'"));
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 1);
    rs->FindLast(QStringLiteral("Seq_Name = \"alpha\""));
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 3);
    rs->FindFirst(QStringLiteral("Seq_Name = 'O''Brien'"));
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 2);
    rs->FindFirst(QStringLiteral("Seq_Name = ?"), Variant("o'brien"));
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 2);
    rs->FindFirst(QStringLiteral("[Layer1_Pt#] > 3"));
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 1);
    rs->FindFirst(QStringLiteral("Test_No >= 2 AND Seq_Name <> 'O''Brien'"));
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 3);

    // No match: the current record stays. A quote in the value is only a character.
    rs->FindFirst(QStringLiteral("Seq_Name = ?"), Variant("x' OR '1'='1"));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(rs->field(QStringLiteral("Test_No")).number(), 3);
    rs->FindNext(QStringLiteral("Seq_Name = 'Alpha'"));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(rs->AbsolutePosition(), 2);

    EXPECT_EQ(errorOf([&] { rs->FindFirst(QStringLiteral("Seq_Name = 'open")); }), 3077);
    EXPECT_EQ(errorOf([&] { rs->FindFirst(QStringLiteral("Seq_Name 'x'")); }), 3077);
    EXPECT_EQ(errorOf([&] { rs->FindFirst(QStringLiteral("Nope = 1")); }), 3070);
    EXPECT_EQ(errorOf([&] { rs->FindFirst(QStringLiteral("Test_No = 'abc'")); }), 3464);
}

TEST_F(RecordsetTest, MovesDeleteAndNoCurrentRecord) {
    auto rs = seqSet();
    EXPECT_EQ(errorOf([&] { rs->MoveFirst(); }), vberr::kNoCurrentRecord);
    EXPECT_EQ(errorOf([&] { rs->field(0); }), vberr::kNoCurrentRecord);
    addSeq(*rs, QStringLiteral("A"));
    addSeq(*rs, QStringLiteral("B"));
    addSeq(*rs, QStringLiteral("C"));
    rs->MoveLast();
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF_());
    EXPECT_EQ(rs->AbsolutePosition(), -1);
    EXPECT_EQ(errorOf([&] { rs->field(0); }), vberr::kNoCurrentRecord);
    EXPECT_EQ(errorOf([&] { rs->MoveNext(); }), vberr::kNoCurrentRecord);
    rs->MovePrevious();
    EXPECT_EQ(rs->field(0).text(), QStringLiteral("C"));
    rs->MoveFirst();
    rs->MovePrevious();
    EXPECT_TRUE(rs->BOF());
    EXPECT_FALSE(rs->EOF_());

    rs->MoveFirst();
    rs->MoveNext();
    rs->Delete();
    EXPECT_EQ(errorOf([&] { rs->field(0); }), vberr::kNoCurrentRecord);
    EXPECT_EQ(errorOf([&] { rs->Edit(); }), vberr::kNoCurrentRecord);
    EXPECT_FALSE(rs->BOF() || rs->EOF_());
    EXPECT_EQ(rs->RecordCount(), 2);
    rs->MoveNext();
    EXPECT_EQ(rs->field(0).text(), QStringLiteral("C"));
    rs->Delete();
    rs->MovePrevious();
    EXPECT_EQ(rs->field(0).text(), QStringLiteral("A"));
    rs->Delete();
    EXPECT_TRUE(rs->BOF() && rs->EOF_());
    EXPECT_EQ(rs->database().sqlite().execAndGet("SELECT count(*) FROM seq").getInt(), 0);
}

// The file gives a new record the key of the last one deleted, here or through
// another handle: every kind of set lists it once, at the end, and a record
// whose key it took is no longer the set's current record.
TEST_F(RecordsetTest, ARecordAddedWhereTheLastWasDeletedIsListedOnce) {
    struct Kind {
        const char* source;
        bool keysRead;              // RecordCount asked for at once: a whole table's keys held
        QStringList order;          // A, B, C as the set lists them
    };
    const Kind kinds[] = {
        {"seq", false, {"A", "B", "C"}},
        {"seq", true, {"A", "B", "C"}},
        {"SELECT * FROM seq ORDER BY Seq_Name", false, {"A", "B", "C"}},
        {"SELECT * FROM seq ORDER BY Seq_Name DESC", false, {"C", "B", "A"}},
        {"SELECT * FROM seq WHERE Test_No = 0", false, {"A", "B", "C"}},
        {"SELECT * FROM seq WHERE Seq_Name < 'D'", false, {"A", "B", "C"}},   // the new ones do not match
    };
    enum class History { DeletedHere, DeletedElsewhere, AddedHereDeletedElsewhere, CurrentDeletedElsewhere };
    for (const Kind& kind : kinds) {
        for (const History history : {History::DeletedHere, History::DeletedElsewhere,
                                      History::AddedHereDeletedElsewhere, History::CurrentDeletedElsewhere}) {
            static const char* const kHistoryNames[] = {"C deleted here, D added", "C deleted elsewhere, D added",
                                                        "D added, deleted elsewhere, E added",
                                                        "C current, deleted elsewhere, D added"};
            SCOPED_TRACE(testing::Message() << kind.source << (kind.keysRead ? " (keys read)" : "") << ": "
                                            << kHistoryNames[static_cast<int>(history)]);
            // Each row runs whole even when another one raised.
            try {
                Database other = OpenDatabase(QStringLiteral("Test_Seq.mdb"));
                other.Execute(QStringLiteral("DELETE FROM seq"));
                {
                    auto w = seqSet();
                    for (const char* n : {"A", "B", "C"}) addSeq(*w, QString::fromLatin1(n));
                }
                auto rs = OpenDatabase(QStringLiteral("Test_Seq.mdb")).OpenRecordset(QString::fromLatin1(kind.source));
                if (kind.keysRead) {
                    EXPECT_EQ(rs->RecordCount(), 3);
                }
                QStringList expected = kind.order;
                switch (history) {
                case History::DeletedHere:
                    rs->FindFirst(QStringLiteral("Seq_Name = 'C'"));
                    rs->Delete();
                    addSeq(*rs, QStringLiteral("D"));
                    expected.removeAll(QStringLiteral("C"));
                    expected << QStringLiteral("D");
                    break;
                case History::DeletedElsewhere:
                    other.Execute(QStringLiteral("DELETE FROM seq WHERE Seq_Name = 'C'"));
                    addSeq(*rs, QStringLiteral("D"));
                    expected.removeAll(QStringLiteral("C"));
                    expected << QStringLiteral("D");
                    break;
                case History::AddedHereDeletedElsewhere:
                    addSeq(*rs, QStringLiteral("D"));
                    other.Execute(QStringLiteral("DELETE FROM seq WHERE Seq_Name = 'D'"));
                    addSeq(*rs, QStringLiteral("E"));
                    expected << QStringLiteral("E");
                    break;
                case History::CurrentDeletedElsewhere:
                    rs->FindFirst(QStringLiteral("Seq_Name = 'C'"));
                    other.Execute(QStringLiteral("DELETE FROM seq WHERE Seq_Name = 'C'"));
                    addSeq(*rs, QStringLiteral("D"));
                    // The new record took C's key: a Delete or Edit must not reach it.
                    EXPECT_EQ(errorOf([&] { rs->field(0); }), vberr::kNoCurrentRecord);
                    EXPECT_EQ(errorOf([&] { rs->Edit(); }), vberr::kNoCurrentRecord);
                    EXPECT_EQ(errorOf([&] { rs->Delete(); }), vberr::kNoCurrentRecord);
                    expected.removeAll(QStringLiteral("C"));
                    expected << QStringLiteral("D");
                    break;
                }
                const RecordBookmark added = rs->LastModified();
                EXPECT_EQ(rs->database().sqlite().execAndGet("SELECT count(*) FROM seq").getInt(), expected.size());
                EXPECT_EQ(rs->RecordCount(), expected.size());
                QStringList walk;
                for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) walk << rs->field(QStringLiteral("Seq_Name")).text();
                EXPECT_EQ(walk, expected);
                rs->setBookmark(added);
                EXPECT_EQ(rs->field(QStringLiteral("Seq_Name")).text(), expected.back());
                EXPECT_EQ(rs->AbsolutePosition(), expected.size() - 1);
            } catch (const VbError& e) {
                ADD_FAILURE() << e.what();
            }
        }
    }
}

TEST_F(RecordsetTest, RecordsDeletedElsewhereArePassedOver) {
    auto rs = seqSet();
    for (const char* n : {"A", "B", "C", "D", "E"}) addSeq(*rs, QString::fromLatin1(n));
    rs->FindFirst(QStringLiteral("Seq_Name = 'B'"));
    const RecordBookmark b = rs->Bookmark();
    rs->MoveFirst();
    OpenDatabase(QStringLiteral("Test_Seq.mdb")).Execute(QStringLiteral("DELETE FROM seq WHERE Seq_Name IN ('B', 'C', 'E')"));
    rs->MoveNext();
    EXPECT_EQ(rs->field(0).text(), QStringLiteral("D"));
    rs->MoveNext();
    EXPECT_TRUE(rs->EOF_());
    rs->FindFirst(QStringLiteral("Seq_Name = 'C'"));
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(errorOf([&] { rs->setBookmark(b); }), 3159);   // already forgotten by the move
    EXPECT_EQ(names(*rs), (QStringList{"A", "D"}));
    EXPECT_EQ(rs->RecordCount(), 2);

    // The current record deleted elsewhere: Edit says so.
    rs->MoveFirst();
    rs->database().Execute(QStringLiteral("DELETE FROM seq WHERE Seq_Name = 'A'"));
    EXPECT_EQ(errorOf([&] { rs->Edit(); }), 3167);
    rs->MoveNext();
    EXPECT_EQ(rs->field(0).text(), QStringLiteral("D"));
}

// A set keeps the records it was taken with and those added through it, in
// order, at any size: one added elsewhere later is not in it until a Requery.
TEST_F(RecordsetTest, RecordsAddedElsewhereLaterAreNotInTheSetAndAWalkVisitsTheMatches) {
    {
        auto w = seqSet();
        addSeq(*w, QStringLiteral("A"), 1);
        addSeq(*w, QStringLiteral("B"), 2);
        addSeq(*w, QStringLiteral("C"), 1);
    }
    auto rs = seqSet();
    OpenDatabase(QStringLiteral("Test_Seq.mdb")).Execute(QStringLiteral("INSERT INTO seq (Seq_Name, Test_No) VALUES ('D', 1)"));
    addSeq(*rs, QStringLiteral("E"), 1);
    auto name = [&] { return rs->field(QStringLiteral("Seq_Name")).text(); };
    QStringList forth, back;
    for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) forth << name();
    for (rs->MoveLast(); !rs->BOF(); rs->MovePrevious()) back << name();
    EXPECT_EQ(forth, (QStringList{"A", "B", "C", "E"}));
    EXPECT_EQ(back, (QStringList{"E", "C", "B", "A"}));
    rs->FindFirst(QStringLiteral("Seq_Name = 'D'"));
    EXPECT_TRUE(rs->NoMatch());
    rs->FindLast(QStringLiteral("Test_No = 1"));
    EXPECT_EQ(name(), "E");
    rs->FindPrevious(QStringLiteral("Test_No = 1"));
    EXPECT_EQ(name(), "C");

    // The walk meets what FindFirst and FindNext meet and leaves the last one current.
    QStringList visited;
    rs->FindEach(QStringLiteral("Test_No = ?"), Variant(int32_t(1)), [&] { visited << name(); return true; });
    EXPECT_EQ(visited, (QStringList{"A", "C", "E"}));
    EXPECT_EQ(name(), "E");
    EXPECT_FALSE(rs->NoMatch());
    visited.clear();
    rs->FindEach(QStringLiteral("Test_No = ?"), Variant(int32_t(1)), [&] { visited << name(); return visited.size() < 2; });
    EXPECT_EQ(visited, (QStringList{"A", "C"}));
    EXPECT_EQ(name(), "C");
    rs->FindEach(QStringLiteral("Test_No = ?"), Variant(int32_t(7)), [&] { return true; });
    EXPECT_TRUE(rs->NoMatch());
    EXPECT_EQ(name(), "C");

    // A record deleted here: the moves go on from its place.
    rs->FindFirst(QStringLiteral("Seq_Name = 'B'"));
    rs->Delete();
    rs->MoveNext();
    EXPECT_EQ(name(), "C");
    rs->MovePrevious();
    EXPECT_EQ(name(), "A");
    EXPECT_EQ(rs->AbsolutePosition(), 0);
    EXPECT_EQ(rs->RecordCount(), 3);
    rs->Requery();
    EXPECT_EQ(names(*rs), (QStringList{"A", "C", "D", "E"}));
}

TEST_F(RecordsetTest, QuerySetsTakeBoundParametersAndOrder) {
    auto rs = seqSet();
    addSeq(*rs, QStringLiteral("c"), 1);
    addSeq(*rs, QStringLiteral("A"), 2);
    addSeq(*rs, QStringLiteral("b"), 1);
    addSeq(*rs, QStringLiteral("O'Neil"), 1);
    Database db = OpenDatabase(QStringLiteral("Test_Seq.mdb"));
    auto q = db.OpenRecordset(QStringLiteral("SELECT * FROM seq WHERE Test_No = ? ORDER BY Seq_Name"), {Variant(int32_t(1))});
    EXPECT_EQ(names(*q), (QStringList{"b", "c", "O'Neil"}));
    q->FindFirst(QStringLiteral("Seq_Name = 'C'"));
    EXPECT_EQ(q->AbsolutePosition(), 1);
    q->FindNext(QStringLiteral("Seq_Name = 'A'"));   // in the table, not in this set
    EXPECT_TRUE(q->NoMatch());
    q->Edit();
    q->setField(QStringLiteral("Gain"), 1.25);
    q->Update();
    rs->FindFirst(QStringLiteral("Seq_Name = 'c'"));
    EXPECT_EQ(rs->field(QStringLiteral("Gain")).number(), 1.25);

    auto byName = db.OpenRecordset(QStringLiteral("SELECT Seq_Name, [Test_No] FROM seq WHERE Seq_Name = ?"), {Variant("o'neil")});
    ASSERT_EQ(byName->RecordCount(), 1);
    EXPECT_EQ(byName->fieldCount(), 2);
    EXPECT_EQ(byName->field(QStringLiteral("test_no")).number(), 1);
    EXPECT_EQ(errorOf([&] { db.OpenRecordset(QStringLiteral("SELECT * FROM seq GROUP BY Test_No")); }), 3131);
}
