#include "common/modDataField2Array.h"
#include "common/modListIncrementalSearch.h"
#include "common/modListRemoveEntry.h"
#include "common/modLongestStringPtr.h"
#include "platform/ui/Form.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/ListBox.h"
#include "tests/support/StationTest.h"
#include <QListWidget>
#include <vector>

namespace {
class ListRoutines : public StationTest {
protected:
    QListWidget list;
    void fill(const QStringList& iEntries) {
        list.clear();
        list.addItems(iEntries);
    }
    QStringList entries() const {
        QStringList out;
        for (int i = 0; i < list.count(); ++i) out << list.item(i)->text();
        return out;
    }
};

// A record set over rows in memory, raising as a real one would with no current record.
class FakeRecordSet {
public:
    std::vector<std::vector<Variant>> rows;
    int current = 0;
    int moves = 0;

    int bookmark() {
        if (current < 0 || current >= static_cast<int>(rows.size())) vbRaise(vberr::kNoCurrentRecord);
        return current;
    }
    void setBookmark(int iMark) { current = iMark; }
    int32_t RecordCount() { return static_cast<int32_t>(rows.size()); }
    void MoveFirst() { current = 0; ++moves; }
    void MoveNext() { ++current; ++moves; }
    bool EOF_() { return current >= static_cast<int>(rows.size()); }
    Variant field(int iIndex) {
        bookmark();
        return rows[static_cast<size_t>(current)].at(static_cast<size_t>(iIndex));
    }
};
}

TEST_F(ListRoutines, IncrementalSearchFindsWhereTheTypedTextStands) {
    fill({"Alpha", "Beta", "Gamma"});
    bool err = false;
    EXPECT_EQ(gnListIncrementalSearch(list, "bz", err), 1);
    EXPECT_EQ(gnListIncrementalSearch(list, "c", err), 1);    // Beta is the last entry not after c
    EXPECT_EQ(gnListIncrementalSearch(list, "zz", err), 2);
    EXPECT_EQ(gnListIncrementalSearch(list, "a", err), 0);
    EXPECT_EQ(gnListIncrementalSearch(list, "", err), 0);

    // The longest common start wins over an earlier, shorter one.
    fill({"Sub10", "Sub11", "Sub2", "Woofer"});
    EXPECT_EQ(gnListIncrementalSearch(list, "sub1", err), 0);
    EXPECT_EQ(gnListIncrementalSearch(list, "SUB2", err), 2);
    // A name that does not share a start never displaces one that does.
    fill({"Tweeter", "Bass"});
    EXPECT_EQ(gnListIncrementalSearch(list, "tw", err), 0);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());

    list.clear();
    answer({vbOK});
    EXPECT_EQ(gnListIncrementalSearch(list, "a", err), -1);
    EXPECT_TRUE(err);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].prompt, "'illstIn' empty");
    EXPECT_EQ(boxes()[0].title, "modListIncrementalSearch.gnListIncrementalSearch");
    EXPECT_EQ(boxes()[0].icon, vbExclamation);
}

TEST_F(ListRoutines, RemoveEntrySelectsTheOneBefore) {
    bool err = false;
    fill({"Ann", "Bob", "Cid", "Dan"});
    gListRemoveEntry("Cid", list, err);
    EXPECT_EQ(entries(), (QStringList{"Ann", "Bob", "Dan"}));
    EXPECT_EQ(list.currentRow(), 1);

    gListRemoveEntry("Ann", list, err);
    EXPECT_EQ(entries(), (QStringList{"Bob", "Dan"}));
    EXPECT_EQ(list.currentRow(), 0);

    // A name the list does not hold costs no other entry.
    gListRemoveEntry("Eve", list, err);
    EXPECT_EQ(entries(), (QStringList{"Bob", "Dan"}));

    gListRemoveEntry("Dan", list, err);
    gListRemoveEntry("Bob", list, err);
    EXPECT_EQ(list.count(), 0);
    gListRemoveEntry("Bob", list, err);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());
}

// On the station's own list the removal raises Click once, and the handler
// sees the final choice.
namespace {
class frmNames : public Form {
public:
    frmNames() : Form(QStringLiteral("frmNames")) { lstNames = new ListBox(this, QStringLiteral("lstNames"), 0, 0, 2000, 2000); }
    ListBox* lstNames;
};
}

TEST_F(ListRoutines, RemoveEntryOnTheStationsListClicksOnceWithTheFinalChoice) {
    ListBox* lst = form<frmNames>().lstNames;
    for (const char* name : {"Ann", "Bob", "Cid", "Dan"}) lst->AddItem(QString::fromLatin1(name));
    lst->setListIndex(2);
    QStringList clicks;
    lst->Click = [&] { clicks << lst->Text(); };
    bool err = false;
    gListRemoveEntry("Cid", *lst, err);
    EXPECT_EQ(clicks, QStringList{"Bob"});
    EXPECT_EQ(lst->ListIndex(), 1);

    lst->setListIndex(0);
    clicks.clear();
    gListRemoveEntry("Ann", *lst, err);
    EXPECT_EQ(clicks, QStringList{"Bob"}) << "the first entry chosen after the first went";
    EXPECT_EQ(lst->ListIndex(), 0);
    EXPECT_EQ(lst->ListCount(), 2);
    EXPECT_FALSE(err);
    unload<frmNames>();
}

TEST_F(ListRoutines, LongestStringIsTheFirstLongest) {
    bool err = false;
    EXPECT_EQ(glLongestStringPtr({"", "Ann", "Barbara", "Cecilia", "Di"}, err), 2);
    EXPECT_EQ(glLongestStringPtr({"", "", ""}, err), 0);
    EXPECT_FALSE(err);

    answer({vbAbort, vbNo});
    EXPECT_EQ(glLongestStringPtr({}, err), 0);
    EXPECT_TRUE(err);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_EQ(boxes()[0].title, "Error!");
    EXPECT_TRUE(boxes()[0].prompt.startsWith("Source: modLongestStringPtr.glLongestStringPtr.10"));
}

TEST_F(ListRoutines, DataFieldCopiesAColumnAndKeepsTheCurrentRecord) {
    FakeRecordSet rs;
    rs.rows = {{Variant("Ann"), Variant(int32_t(1001))},
               {Variant("Bob"), Variant::null()},
               {Variant("Cid"), Variant(1.5f)}};
    rs.current = 2;
    QStringList names{"stale"};
    bool err = false;
    EXPECT_TRUE(gbDataField2Array(rs, 0, names, err));
    EXPECT_EQ(names, (QStringList{"", "Ann", "Bob", "Cid"}));
    EXPECT_EQ(rs.current, 2);

    QStringList serials;
    EXPECT_TRUE(gbDataField2Array(rs, 1, serials, err));
    EXPECT_EQ(serials, (QStringList{"", "1001", "", "1.5"}));
    EXPECT_EQ(rs.current, 2);
    EXPECT_FALSE(err);

    // An empty table is a normal state: nothing shown, nothing changed.
    FakeRecordSet empty;
    QStringList kept{"x", "y"};
    EXPECT_FALSE(gbDataField2Array(empty, 0, kept, err));
    EXPECT_EQ(kept, (QStringList{"x", "y"}));
    EXPECT_EQ(empty.moves, 0);
    EXPECT_FALSE(err);
    EXPECT_TRUE(boxes().isEmpty());

    // A column that is not there goes to the central handler; the record stays put.
    answer({vbAbort, vbNo});
    QStringList untouched{"keep"};
    EXPECT_FALSE(gbDataField2Array(rs, 5, untouched, err));
    EXPECT_TRUE(err);
    EXPECT_EQ(untouched, QStringList{"keep"});
    EXPECT_EQ(rs.current, 2);
    ASSERT_FALSE(boxes().isEmpty());
    EXPECT_TRUE(boxes()[0].prompt.startsWith("Source: modDataField2Array.gbDataField2Array.30"));
}
