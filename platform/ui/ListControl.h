#pragma once
#include <QString>
#include <cstdint>

// The list of a combo box or list box, indexed from 0. Setting ListIndex to
// another entry (by code or by the user) runs the control's Click; setting it
// to the entry already selected does nothing. AddItem never selects an entry.
// ListIndex outside -1 .. ListCount - 1 is "Invalid property value" (380); an
// index outside the list for RemoveItem or AddItem is "Invalid procedure call" (5).
class ListControl {
public:
    virtual ~ListControl() = default;
    // Adds an entry at the end, or before entry iIndex.
    virtual void AddItem(const QString& iItem, int32_t iIndex = -1) = 0;
    virtual void RemoveItem(int32_t iIndex) = 0;
    virtual void Clear() = 0;
    // The entry's text; empty for an index outside the list.
    virtual QString List(int32_t iIndex) const = 0;
    virtual void setList(int32_t iIndex, const QString& iText) = 0;
    virtual int32_t ListCount() const = 0;
    virtual int32_t ListIndex() const = 0;
    virtual void setListIndex(int32_t iIndex) = 0;
};
