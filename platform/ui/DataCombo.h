#pragma once
#include "platform/data/Recordset.h"
#include "platform/ui/ComboBox.h"
#include <QList>

class DataControl;

enum DataComboArea : int16_t { dbcAreaButton = 0, dbcAreaEdit = 1, dbcAreaList = 2 };

// A data-bound combo box (kind "DBCombo"): its list is one field (ListField) of
// the records of another data control (RowSource), read again by ReFill (after
// the row source has been opened or changed); bound itself through
// setDataSource/setDataField like a combo box. Text, Change and Click as a
// combo box of the same style; its DblClick tells the area double-clicked
// (dbcAreaEdit for the text field, dbcAreaList for the closed box's list part).
// The row source is a table or a query without parameters.
class DataCombo : public ComboBox {
    Q_OBJECT
public:
    DataCombo(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
              int32_t iHeight, int16_t iStyle = vbComboDropdown);

    DataControl* RowSource() const { return mRowSource; }
    void setRowSource(DataControl* iSource) { mRowSource = iSource; }
    QString ListField() const { return mListField; }
    void setListField(const QString& iField) { mListField = iField; }

    // Reads the list again; the text shown stays (style 2: the entry with that text).
    void ReFill();

    // The row of the entry chosen in the list (its record's bookmark in the row
    // source); not valid when no entry is chosen (ListIndex -1, a typed text).
    RecordBookmark SelectedItem() const;

    // Stands in for the combo box's DblClick, with the area.
    std::function<void(int16_t Area)> DblClick;

protected:
    void raiseDblClick() override;

private:
    DataControl* mRowSource = nullptr;
    QString mListField;
    QList<RecordBookmark> mBookmarks;   // one per entry, in list order
};
