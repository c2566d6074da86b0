#pragma once
#include "common/ErrorTrap.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Variant.h"
#include <QStringList>
#include <cstdint>
#include <type_traits>

// Copies column inColumn (0 = first) of every record of the record set into
// entries 1 to the record count of oasOut (entries 0 to count, entry 0 empty);
// Null gives the empty text. The record that was current stays current.
// True when the set has records; with none oasOut is left as it is and the
// result is False (quietly: an empty table is a normal state, not an error).
//
// RS is any record set with
//   auto bookmark()                  the current record's bookmark
//   void setBookmark(bookmark)       makes that record current again
//   int32_t RecordCount()
//   void MoveFirst(), void MoveNext()
//   bool EOF_()                      past the last record
//   Variant field(int iIndex)        the current record's value by position
// which raise VbError as the run-time would.
template <class RS>
bool gbDataField2Array(RS& iors, int16_t inColumn, QStringList& oasOut, bool& obError) {
    ErrorTrap trap("modDataField2Array", "gbDataField2Array", obError);
    int32_t count = 0;
    if (!trap(10, [&] { count = iors.RecordCount(); })) return false;
    if (count <= 0) return false;

    std::decay_t<decltype(iors.bookmark())> mark{};
    if (!trap(20, [&] { mark = iors.bookmark(); })) return false;

    QStringList values;
    const bool walked = trap(30, [&] {
        values = QStringList(count + 1);
        int32_t i = 0;
        iors.MoveFirst();
        while (!iors.EOF_()) {
            ++i;
            if (i > count) values.append(QString());   // a record added since the count
            const Variant v = iors.field(inColumn);
            values[i] = v.isNull() ? QString() : CStr(v);
            iors.MoveNext();
        }
    });
    // Put the caller back on its record even when the walk failed part way.
    const bool restored = trap(40, [&] { iors.setBookmark(mark); });
    if (!walked || !restored) return false;
    oasOut = values;
    return true;
}
