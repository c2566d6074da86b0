#include "platform/ui/ComboBox.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/VbError.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace {
[[noreturn]] void badIndex(long iNumber) {
    vbRaise(iNumber, iNumber == 380 ? QStringLiteral("Invalid property value") : vbErrorText(iNumber));
}
}

ComboBox::ComboBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                   int32_t iHeight, int16_t iStyle)
    : ComboBox(iContainer, iName, iLeft, iTop, iWidth, iHeight, iStyle, "ComboBox") {}

ComboBox::ComboBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                   int32_t iHeight, int16_t iStyle, const char* iKind)
    : QComboBox(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, iKind, true),
      mStyle(iStyle) {
    if (mStyle != vbComboDropdownList) {
        setEditable(true);
        // Typed text stays typed: no completion, no new entries on Enter.
        setCompleter(nullptr);
        setInsertPolicy(QComboBox::NoInsert);
        setDuplicatesEnabled(true);   // else Enter on a listed text would choose that entry
        lineEdit()->setFocusPolicy(Qt::NoFocus);
        // The text field takes the mouse: its double-click is the box's.
        lineEdit()->installEventFilter(this);
        connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
            setDataChanged(true);
            raiseEvent("Change", Change);
        });
    }
    setFocusPolicy(Qt::NoFocus);
    setMaxVisibleItems(16);
    Move(iLeft, iTop, iWidth, iHeight);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (mQuiet) return;
        setDataChanged(true);
        raiseEvent("Click", Click);
    });
}

QString ComboBox::Text() const { return isEditable() ? currentText() : (currentIndex() >= 0 ? currentText() : QString()); }

void ComboBox::setText(const QString& iText) {
    if (isEditable()) {
        if (iText == currentText()) return;
        setEditText(iText);
        setDataChanged(true);
        raiseEvent("Change", Change);
        return;
    }
    const int i = findText(iText, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0) vbRaise(383, QStringLiteral("'Text' property is read-only"));
    setListIndex(i);
}

void ComboBox::AddItem(const QString& iItem, int32_t iIndex) {
    if (iIndex > count() || iIndex < -1) badIndex(vberr::kInvalidCall);
    const QString text = isEditable() ? currentText() : QString();
    const int was = currentIndex();
    quietly([&] {
        insertItem(iIndex < 0 ? count() : iIndex, iItem);
        // Qt chooses the first entry of an empty list; the station's lists start unchosen.
        if (was < 0 && currentIndex() >= 0) setCurrentIndex(-1);
        if (isEditable() && currentText() != text) setEditText(text);
    });
}

void ComboBox::RemoveItem(int32_t iIndex) {
    if (iIndex < 0 || iIndex >= count()) badIndex(vberr::kInvalidCall);
    const bool chosen = iIndex == currentIndex();
    const QString text = isEditable() ? currentText() : QString();
    quietly([&] {
        removeItem(iIndex);
        if (chosen) setCurrentIndex(-1);
        if (isEditable() && !chosen && currentText() != text) setEditText(text);
    });
}

void ComboBox::Clear() {
    quietly([&] { clear(); });
    if (isEditable() && !currentText().isEmpty()) setEditText(QString());
}

QString ComboBox::List(int32_t iIndex) const { return iIndex >= 0 && iIndex < count() ? itemText(iIndex) : QString(); }

void ComboBox::setList(int32_t iIndex, const QString& iText) {
    if (iIndex < 0 || iIndex >= count()) badIndex(380);
    setItemText(iIndex, iText);
}

int32_t ComboBox::ListIndex() const {
    const int i = currentIndex();
    // A typed text that is not the chosen entry's leaves nothing chosen.
    if (i >= 0 && isEditable() && currentText() != itemText(i)) return -1;
    return i;
}

void ComboBox::setListIndex(int32_t iIndex) {
    if (iIndex < -1 || iIndex >= count()) badIndex(380);
    if (iIndex == ListIndex()) return;
    if (iIndex >= 0 && iIndex == currentIndex()) {
        // The entry is chosen but its text was typed over: choosing it again is a change.
        setEditText(itemText(iIndex));
        setDataChanged(true);
        raiseEvent("Click", Click);
        return;
    }
    setCurrentIndex(iIndex);
    if (iIndex < 0 && isEditable()) setEditText(QString());
}

void ComboBox::setBoundValue(const Variant& iValue) {
    const QString text = iValue.isNull() ? QString() : CStr(iValue);
    if (isEditable()) setText(text);
    else setListIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

// The wheel does not change a list the user has not chosen to change.
void ComboBox::wheelEvent(QWheelEvent* iEvent) { iEvent->ignore(); }

void ComboBox::keyPressEvent(QKeyEvent* iEvent) {
    QComboBox::keyPressEvent(iEvent);
    iEvent->accept();
}

void ComboBox::mouseDoubleClickEvent(QMouseEvent* iEvent) {
    QComboBox::mouseDoubleClickEvent(iEvent);
    if (iEvent->button() == Qt::LeftButton) raiseDblClick();
}

bool ComboBox::eventFilter(QObject* iObject, QEvent* iEvent) {
    if (isEditable() && iObject == lineEdit() && iEvent->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(iEvent)->button() == Qt::LeftButton)
        raiseDblClick();
    return QComboBox::eventFilter(iObject, iEvent);
}

void ComboBox::raiseDblClick() { raiseEvent("DblClick", DblClick); }
