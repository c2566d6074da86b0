#include "tests/platform/DataTestSchema.h"
#include "platform/vb/Conversions.h"
#include <QDir>
#include <SQLiteCpp/SQLiteCpp.h>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

class DatabaseFile : public DataTest {};

TEST_F(DatabaseFile, MissingFileIsCreatedWithItsTablesUnderTheCanonicalName) {
    {
        Database db = OpenDatabase(QStringLiteral("\\test_seq.MDB"));
        EXPECT_EQ(db.Name(), homeFile(QStringLiteral("Test_Seq.mdb")));
        auto rs = db.OpenRecordset(QStringLiteral("SEQ"));
        EXPECT_EQ(rs->tableName(), QStringLiteral("seq"));
        ASSERT_EQ(rs->fieldCount(), 10);
        EXPECT_EQ(rs->fieldName(0), QStringLiteral("Seq_Name"));
        EXPECT_EQ(rs->fieldName(8), QStringLiteral("Layer1_Pt#"));
        EXPECT_TRUE(rs->BOF() && rs->EOF_());
        EXPECT_EQ(rs->RecordCount(), 0);
        EXPECT_EQ(db.OpenRecordset(QStringLiteral("op"))->fieldCount(), 2);
    }
    EXPECT_EQ(QDir(home()).entryList({QStringLiteral("*.mdb")}, QDir::Files), QStringList{QStringLiteral("Test_Seq.mdb")});

    // Any spelling reaches the same file and the same connection.
    Database a = OpenDatabase(QStringLiteral("Test_Seq.mdb"));
    Database b = OpenDatabase(home() + QStringLiteral("\\TEST_SEQ.mdb"), true, true);
    EXPECT_EQ(&a.sqlite(), &b.sqlite());
    EXPECT_EQ(b.Name(), a.Name());
    EXPECT_EQ(a.sqlite().execAndGet("PRAGMA journal_mode").getString(), "wal");
    EXPECT_EQ(a.sqlite().execAndGet("PRAGMA synchronous").getInt(), 2);   // FULL
}

TEST_F(DatabaseFile, ExistingFileGetsTheTablesAndIndexesItLacks) {
    {
        SQLite::Database raw(homeFile(QStringLiteral("Test_Seq.mdb")).toStdString(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        raw.exec("CREATE TABLE seq (Seq_Name VARCHAR(20), Keep INTEGER)");
        raw.exec("INSERT INTO seq VALUES ('kept', 7)");
    }
    Database db = OpenDatabase(QStringLiteral("test_seq.mdb"));
    auto seq = db.OpenRecordset(QStringLiteral("seq"));
    EXPECT_EQ(seq->fieldCount(), 2);   // an existing table is left as it is
    EXPECT_EQ(seq->field(QStringLiteral("keep")).number(), 7);
    auto op = db.OpenRecordset(QStringLiteral("op"));
    op->AddNew();
    op->setField(0, "Ann");
    op->Update();
    op->AddNew();
    op->setField(0, "ANN");   // the unique index compares without regard to case
    EXPECT_EQ(errorOf([&] { op->Update(); }), 3022);
}

TEST_F(DatabaseFile, FilesThatCannotBeOpenedSayWhichFile) {
    writeHomeFile(QStringLiteral("Test_Seq.mdb"), QByteArray("Standard Jet DB, not SQLite at all").repeated(50));
    try {
        OpenDatabase(QStringLiteral("Test_Seq.mdb"));
        FAIL() << "opened a file that is no database";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 3343);
        EXPECT_TRUE(e.description.contains(homeFile(QStringLiteral("Test_Seq.mdb")))) << e.description.toStdString();
    }
    try {
        OpenDatabase(QStringLiteral("Nobody.mdb"));
        FAIL() << "opened a file that does not exist";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number, 3024);
        EXPECT_TRUE(e.description.contains(QStringLiteral("Nobody.mdb")));
    }
    EXPECT_FALSE(QFileInfo::exists(homeFile(QStringLiteral("Nobody.mdb"))));
}

TEST_F(DatabaseFile, UnknownTableAndReadOnlyHandle) {
    Database db = OpenDatabase(QStringLiteral("Test_Seq.mdb"));
    EXPECT_EQ(errorOf([&] { db.OpenRecordset(QStringLiteral("vexo_none")); }), 3078);
    auto rw = db.OpenRecordset(QStringLiteral("seq"));
    addSeq(*rw, QStringLiteral("A"));

    Database ro = OpenDatabase(QStringLiteral("Test_Seq.mdb"), false, true);
    auto rs = ro.OpenRecordset(QStringLiteral("seq"));
    EXPECT_EQ(rs->field(0).text(), QStringLiteral("A"));
    EXPECT_EQ(errorOf([&] { rs->Edit(); }), 3027);
    EXPECT_EQ(errorOf([&] { rs->AddNew(); }), 3027);
    EXPECT_EQ(errorOf([&] { rs->Delete(); }), 3027);
    EXPECT_EQ(errorOf([&] { ro.Execute(QStringLiteral("DELETE FROM seq")); }), 3027);
    EXPECT_EQ(rw->RecordCount(), 1);
    EXPECT_EQ(db.Execute(QStringLiteral("UPDATE seq SET Test_No = ? WHERE Seq_Name = ?"), {Variant(int32_t(4)), Variant("a")}), 1);
}

// Two handles, in this process and in another, see each other's committed records.
TEST_F(DatabaseFile, HandlesSeeEachOthersCommittedUpdates) {
    auto one = OpenDatabase(QStringLiteral("Test_Seq.mdb")).OpenRecordset(QStringLiteral("seq"));
    addSeq(*one, QStringLiteral("A"), 1);
    addSeq(*one, QStringLiteral("B"), 2);
    auto two = OpenDatabase(QStringLiteral("TEST_SEQ.MDB")).OpenRecordset(QStringLiteral("seq"));
    two->MoveLast();
    two->Edit();
    two->setField(QStringLiteral("Test_No"), Variant(int32_t(20)));
    two->Update();
    one->MoveLast();
    EXPECT_EQ(one->field(QStringLiteral("Test_No")).number(), 20);

    // Another program's connection.
    SQLite::Database other(homeFile(QStringLiteral("Test_Seq.mdb")).toStdString(), SQLite::OPEN_READWRITE);
    EXPECT_EQ(other.execAndGet("SELECT Test_No FROM seq WHERE Seq_Name = 'B'").getInt(), 20);
    other.exec("UPDATE seq SET Test_No = 11 WHERE Seq_Name = 'A'");
    one->MoveFirst();
    EXPECT_EQ(one->field(QStringLiteral("Test_No")).number(), 11);
    one->Edit();
    one->setField(QStringLiteral("Gain"), 2.5);
    one->Update();
    EXPECT_EQ(other.execAndGet("SELECT Gain FROM seq WHERE Seq_Name = 'A'").getDouble(), 2.5);
    EXPECT_EQ(other.execAndGet("SELECT Test_No FROM seq WHERE Seq_Name = 'A'").getInt(), 11);   // untouched by the update
}

TEST_F(DatabaseFile, ATransactionIsSeenElsewhereOnlyOnceCommitted) {
    Database db = OpenDatabase(QStringLiteral("Test_Seq.mdb"));
    auto rs = db.OpenRecordset(QStringLiteral("seq"));
    addSeq(*rs, QStringLiteral("A"), 1);
    addSeq(*rs, QStringLiteral("B"), 2);
    SQLite::Database other(homeFile(QStringLiteral("Test_Seq.mdb")).toStdString(), SQLite::OPEN_READONLY);

    db.BeginTrans();
    rs->MoveFirst();
    rs->Delete();
    rs->MoveNext();
    rs->Delete();
    EXPECT_EQ(other.execAndGet("SELECT COUNT(*) FROM seq").getInt(), 2);
    db.Rollback();
    EXPECT_EQ(other.execAndGet("SELECT COUNT(*) FROM seq").getInt(), 2);

    rs->Requery();
    db.BeginTrans();
    EXPECT_NE(errorOf([&] { db.BeginTrans(); }), 0);   // not nested
    rs->Delete();
    db.CommitTrans();
    EXPECT_EQ(other.execAndGet("SELECT COUNT(*) FROM seq").getInt(), 1);
    EXPECT_NE(errorOf([&] { db.CommitTrans(); }), 0);   // none open
}

// A writer killed at any moment leaves a sound file with every record it committed.
TEST_F(DatabaseFile, KilledWriterLeavesEveryCommittedRecord) {
    int pipeFd[2];
    ASSERT_EQ(pipe(pipeFd), 0);
    const QString notes = QStringLiteral("n").repeated(3000);   // records span pages
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFd[0]);
        try {
            auto rs = OpenDatabase(QStringLiteral("Test_Seq.mdb")).OpenRecordset(QStringLiteral("seq"));
            addSeq(*rs, QStringLiteral("counter"));
            for (int32_t i = 0;; ++i) {
                rs->AddNew();
                rs->setField(QStringLiteral("Seq_Name"), QStringLiteral("R%1").arg(i));
                rs->setField(QStringLiteral("Serial_No"), Variant(i));
                rs->setField(QStringLiteral("Notes"), notes + QString::number(i));
                rs->Update();
                rs->MoveFirst();
                rs->Edit();
                rs->setField(QStringLiteral("Serial_No"), Variant(i));
                rs->Update();
                if (write(pipeFd[1], &i, sizeof i) != sizeof i) _exit(2);
            }
        } catch (...) {
            _exit(3);
        }
    }
    close(pipeFd[1]);
    int32_t last = -1;
    pollfd p{pipeFd[0], POLLIN, 0};
    while (last < 150 && poll(&p, 1, 30000) > 0) {
        int32_t i = 0;
        if (read(pipeFd[0], &i, sizeof i) != sizeof i) break;
        last = i;
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";
    for (int32_t i = 0; read(pipeFd[0], &i, sizeof i) == sizeof i;) last = i;   // committed before the kill
    close(pipeFd[0]);
    ASSERT_GE(last, 150);

    Database db = OpenDatabase(QStringLiteral("Test_Seq.mdb"));
    EXPECT_EQ(db.sqlite().execAndGet("PRAGMA integrity_check").getString(), "ok");
    auto rs = db.OpenRecordset(QStringLiteral("seq"));
    ASSERT_GE(rs->RecordCount(), last + 2);
    ASSERT_LE(rs->RecordCount(), last + 3);   // at most the record being written
    EXPECT_GE(CLng(rs->field(QStringLiteral("Serial_No"))), last);
    for (int32_t i = 0; i <= last; ++i) {
        rs->MoveNext();
        ASSERT_EQ(rs->field(0).text(), QStringLiteral("R%1").arg(i));
        ASSERT_EQ(CLng(rs->field(QStringLiteral("Serial_No"))), i);
        ASSERT_EQ(rs->field(QStringLiteral("Notes")).text(), notes + QString::number(i));
    }
}
