#include "platform/ui/DataCombo.h"
#include "platform/data/DataControl.h"
#include "platform/data/Database.h"
#include "platform/data/Recordset.h"
#include "platform/vb/Conversions.h"

DataCombo::DataCombo(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                     int32_t iHeight, int16_t iStyle)
    : ComboBox(iContainer, iName, iLeft, iTop, iWidth, iHeight, iStyle, "DBCombo") {}

void DataCombo::raiseDblClick() {
    // The editable box's double-click lands in its text field, the list style's on the box.
    const int16_t area = isEditable() ? dbcAreaEdit : dbcAreaList;
    raiseEvent("DblClick", DblClick, area);
}

void DataCombo::ReFill() {
    QStringList items;
    QList<RecordBookmark> marks;
    if (mRowSource && !mListField.isEmpty() && mRowSource->Recordset().isOpen()) {
        // A record set of its own: reading the list moves no record of the row source.
        const std::unique_ptr<::Recordset> rs =
            mRowSource->Recordset().database().OpenRecordset(mRowSource->RecordSource());
        if (rs->RecordCount() > 0) {
            for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
                const Variant v = rs->field(mListField);
                items << (v.isNull() ? QString() : CStr(v));
                marks << rs->Bookmark();
            }
        }
    }
    const QString text = Text();
    mBookmarks = marks;
    quietly([&] {
        clear();
        addItems(items);
        setCurrentIndex(-1);
        if (isEditable()) setEditText(text);
        else setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    });
}

RecordBookmark DataCombo::SelectedItem() const {
    const int32_t i = ListIndex();
    return i >= 0 && i < mBookmarks.size() ? mBookmarks[i] : RecordBookmark{};
}
