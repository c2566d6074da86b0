#include "tests/platform/DataTestSchema.h"
#include "platform/vb/Conversions.h"
#include <SQLiteCpp/SQLiteCpp.h>

namespace {

// A text box as the window layer will make it: shows the value as text,
// raises Change when its text changes (not when set to the same text).
class FakeBox : public BoundControl {
public:
    FakeBox(const QString& iField, QStringList& ioLog) : mLog(ioLog) { setDataField(iField); }
    Variant boundValue() const override { return Variant(text); }
    void setBoundValue(const Variant& iValue) override { setText(iValue.isNull() ? QString() : CStr(iValue)); }
    void type(const QString& iText) { setText(iText); }   // the user's edit
    QString text;

private:
    void setText(const QString& iText) {
        if (iText == text) return;
        text = iText;
        setDataChanged(true);
        mLog << QStringLiteral("Change %1=%2").arg(DataField(), text);
    }
    QStringList& mLog;
};

} // namespace

class DataControlTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        auto rs = seqSet();
        addSeq(*rs, QStringLiteral("A"), 1);
        addSeq(*rs, QStringLiteral("B"), 2);
        addSeq(*rs, QStringLiteral("C"), 3);
        dta = std::make_unique<DataControl>(QStringLiteral("dtaSeq"));
        dta->setDatabaseName(QStringLiteral("\\Test_Seq.mdb"));
        dta->setRecordSource(QStringLiteral("seq"));
        dta->onValidate = [this](int& ioAction, bool& ioSave) {
            log << QStringLiteral("Validate %1 %2 at %3").arg(ioAction).arg(ioSave).arg(stored(QStringLiteral("A")));
            if (validate) validate(ioAction, ioSave);
        };
        dta->onReposition = [this] { log << QStringLiteral("Reposition at %1").arg(stored(QStringLiteral("A"))); };
        dta->onError = [this](const VbError& iError, int& ioResponse) {
            log << QStringLiteral("Error %1").arg(iError.number);
            ioResponse = errorResponse;
        };
        name.setDataSource(dta.get());
        testNo.setDataSource(dta.get());
        gain.setDataSource(dta.get());
        dta->Refresh();
        log.clear();
    }

    // The Test_No stored for a name, read by another connection.
    QString stored(const QString& iName) const {
        SQLite::Database raw(homeFile(QStringLiteral("Test_Seq.mdb")).toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement q(raw, "SELECT Test_No FROM seq WHERE Seq_Name = ?");
        q.bind(1, iName.toStdString());
        return q.executeStep() ? QString::fromStdString(q.getColumn(0).getString()) : QStringLiteral("none");
    }

    QStringList log;
    FakeBox name{QStringLiteral("Seq_Name"), log};
    FakeBox testNo{QStringLiteral("test_no"), log};
    FakeBox gain{QStringLiteral("Gain"), log};
    std::unique_ptr<DataControl> dta;
    std::function<void(int&, bool&)> validate;
    int errorResponse = vbDataErrContinue;
};

TEST_F(DataControlTest, MoveValidatesWritesMovesRefillsThenRepositions) {
    EXPECT_EQ(name.text, QStringLiteral("A"));
    EXPECT_EQ(testNo.text, QStringLiteral("1"));
    EXPECT_EQ(gain.text, QString());   // Null shows empty
    EXPECT_FALSE(name.DataChanged() || testNo.DataChanged() || gain.DataChanged());

    testNo.type(QStringLiteral("7"));
    log.clear();
    dta->Recordset().MoveNext();
    EXPECT_EQ(log, (QStringList{"Validate 3 1 at 1",    // before the write
                                "Change Seq_Name=B", "Change test_no=2",
                                "Reposition at 7"}));   // written before the move
    EXPECT_FALSE(testNo.DataChanged());
}

TEST_F(DataControlTest, NothingChangedMeansNoSaveAndUnchangedValuesRaiseNoChange) {
    log.clear();
    dta->Recordset().FindFirst(QStringLiteral("Seq_Name = 'A'"));
    EXPECT_EQ(log, (QStringList{"Validate 8 0 at 1", "Reposition at 1"}));
}

TEST_F(DataControlTest, ActionZeroCancelsTheWriteAndTheMoveAndKeepsTheEdits) {
    testNo.type(QStringLiteral("9"));
    validate = [](int& ioAction, bool&) { ioAction = vbDataActionCancel; };
    dta->Recordset().MoveLast();
    EXPECT_EQ(dta->Recordset().field(0).text(), QStringLiteral("A"));
    EXPECT_EQ(stored(QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_EQ(testNo.text, QStringLiteral("9"));
    EXPECT_TRUE(testNo.DataChanged());
    EXPECT_EQ(log.last(), QStringLiteral("Validate 4 1 at 1"));

    // The handler declines to save: the move goes on and the edit is dropped.
    validate = [](int&, bool& ioSave) { ioSave = false; };
    dta->Recordset().MoveLast();
    EXPECT_EQ(stored(QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_EQ(name.text, QStringLiteral("C"));
    EXPECT_FALSE(testNo.DataChanged());
}

TEST_F(DataControlTest, FailedFindRefillsAndRepositionsOnTheSameRecord) {
    dta->Recordset().MoveNext();
    name.type(QStringLiteral("B2"));
    log.clear();
    dta->Recordset().FindFirst(QStringLiteral("Seq_Name = 'Nobody'"));
    EXPECT_TRUE(dta->Recordset().NoMatch());
    EXPECT_EQ(log, (QStringList{"Validate 8 1 at 1", "Reposition at 1"}));   // B2 equals the stored value now
    EXPECT_EQ(name.text, QStringLiteral("B2"));
    EXPECT_FALSE(name.DataChanged());
    EXPECT_EQ(dta->Recordset().AbsolutePosition(), 1);
    EXPECT_EQ(stored(QStringLiteral("B2")), QStringLiteral("2"));
}

TEST_F(DataControlTest, AddNewUpdateAndDelete) {
    dta->Recordset().AddNew();
    EXPECT_EQ(log, (QStringList{"Validate 5 0 at 1", "Change Seq_Name=", "Change test_no=0", "Reposition at 1"}));
    name.type(QStringLiteral("D"));
    testNo.type(QStringLiteral("4"));
    log.clear();
    dta->Recordset().Update();
    EXPECT_EQ(log.first(), QStringLiteral("Validate 6 1 at 1"));
    EXPECT_EQ(stored(QStringLiteral("D")), QStringLiteral("4"));
    EXPECT_EQ(dta->Recordset().RecordCount(), 4);
    dta->Recordset().setBookmark(dta->Recordset().LastModified());
    EXPECT_EQ(name.text, QStringLiteral("D"));

    // A new record left without a change is not added.
    dta->Recordset().AddNew();
    dta->Recordset().MoveFirst();
    EXPECT_EQ(dta->Recordset().RecordCount(), 4);

    log.clear();
    dta->Recordset().Delete();
    EXPECT_EQ(log, (QStringList{"Validate 7 0 at 1", "Change Seq_Name=", "Change test_no=", "Reposition at none"}));
    EXPECT_EQ(stored(QStringLiteral("A")), QStringLiteral("none"));
    dta->Recordset().MoveNext();
    EXPECT_EQ(name.text, QStringLiteral("B"));
}

TEST_F(DataControlTest, UpdateRecordWritesWithoutEvents) {
    testNo.type(QStringLiteral("12"));
    gain.type(QStringLiteral("0.5"));
    log.clear();
    dta->UpdateRecord();
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(stored(QStringLiteral("A")), QStringLiteral("12"));
    EXPECT_EQ(dta->Recordset().field(QStringLiteral("Gain")).number(), 0.5);
    EXPECT_FALSE(testNo.DataChanged() || gain.DataChanged());

    // From Validate, with save left True, the record is written once more, harmlessly.
    testNo.type(QStringLiteral("13"));
    validate = [this](int&, bool&) { dta->UpdateRecord(); };
    dta->Recordset().MoveNext();
    EXPECT_EQ(stored(QStringLiteral("A")), QStringLiteral("13"));
}

TEST_F(DataControlTest, AFailedWriteRaisesErrorAbandonsTheMoveAndKeepsTheEdits) {
    testNo.type(QString());   // an emptied number box
    log.clear();
    dta->Recordset().MoveNext();
    EXPECT_EQ(log, (QStringList{"Validate 3 1 at 1", "Error 3421"}));
    EXPECT_EQ(dta->Recordset().field(0).text(), QStringLiteral("A"));
    EXPECT_EQ(dta->Recordset().EditMode(), dbEditNone);
    EXPECT_TRUE(testNo.DataChanged());
    EXPECT_EQ(stored(QStringLiteral("A")), QStringLiteral("1"));

    // Left to display, the error reaches the code that moved.
    errorResponse = vbDataErrDisplay;
    testNo.type(QStringLiteral("70000"));
    EXPECT_EQ(errorOf([&] { dta->Recordset().MoveNext(); }), vberr::kOverflow);
    EXPECT_EQ(dta->Recordset().field(0).text(), QStringLiteral("A"));
}

TEST_F(DataControlTest, UnloadValidatesAndMayBeCancelled) {
    testNo.type(QStringLiteral("5"));
    validate = [](int& ioAction, bool&) { if (ioAction == vbDataActionUnload) ioAction = vbDataActionCancel; };
    EXPECT_FALSE(dta->Unload());
    EXPECT_TRUE(dta->Recordset().isOpen());
    validate = nullptr;
    log.clear();
    EXPECT_TRUE(dta->Unload());
    EXPECT_EQ(log, (QStringList{"Validate 11 1 at 1"}));
    EXPECT_EQ(stored(QStringLiteral("A")), QStringLiteral("5"));
    EXPECT_FALSE(dta->Recordset().isOpen());
}

TEST_F(DataControlTest, RefreshReopensInPlaceOnANewRecordSource) {
    Recordset& rs = dta->Recordset();
    dta->setRecordSource(QStringLiteral("SELECT * FROM seq WHERE Test_No >= ? ORDER BY Test_No DESC"), {Variant(int32_t(2))});
    log.clear();
    dta->Refresh();
    EXPECT_EQ(log, (QStringList{"Validate 10 0 at 1", "Change Seq_Name=C", "Change test_no=3", "Reposition at 1"}));
    EXPECT_EQ(&dta->Recordset(), &rs);
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(names(rs), (QStringList{"C", "B"}));
}

TEST_F(DataControlTest, HandlersMayUnloadTheWindowMidSequence) {
    testNo.type(QStringLiteral("8"));
    validate = [this](int&, bool&) { dta.reset(); };
    dta->Recordset().MoveNext();   // the control is gone: nothing more happens
    EXPECT_EQ(stored(QStringLiteral("A")), QStringLiteral("1"));
    EXPECT_EQ(name.DataSource(), nullptr);
}

TEST_F(DataControlTest, TwoControlsOnOneFileSeeEachOthersUpdates) {
    QStringList otherLog;
    DataControl other(QStringLiteral("dtaSeqList"));
    other.setDatabaseName(QStringLiteral("TEST_SEQ.MDB"));
    other.setRecordSource(QStringLiteral("seq"));
    FakeBox otherNo(QStringLiteral("Test_No"), otherLog);
    otherNo.setDataSource(&other);
    other.Refresh();
    testNo.type(QStringLiteral("21"));
    dta->Recordset().MoveNext();
    other.Recordset().MoveFirst();
    EXPECT_EQ(otherNo.text, QStringLiteral("21"));
}

// A database file that failed to open: every later use of the control's
// record set names the file that is not open.
TEST_F(DataControlTest, AFileThatFailedToOpenIsNamedByLaterWrites) {
    writeHomeFile(QStringLiteral("Broken_Seq.mdb"), QByteArray("not a database at all, just text\r\n").repeated(40));
    DataControl broken(QStringLiteral("dtaBroken"));
    broken.setDatabaseName(QStringLiteral("Broken_Seq.mdb"));
    broken.setRecordSource(QStringLiteral("seq"));
    EXPECT_THROW(broken.Refresh(), VbError);
    for (const auto& use : std::vector<std::function<void()>>{
             [&] { broken.Recordset().AddNew(); }, [&] { broken.Recordset().MoveFirst(); },
             [&] { broken.UpdateRecord(); }}) {
        try {
            use();
            ADD_FAILURE() << "no error";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number, 3420);
            EXPECT_EQ(e.description, QStringLiteral("The database file 'Broken_Seq.mdb' is not open."));
        }
    }
}
