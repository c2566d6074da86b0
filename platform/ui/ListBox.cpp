#include "platform/ui/ListBox.h"
#include "platform/vb/VbError.h"
#include <QKeyEvent>
#include <QMouseEvent>

ListBox::ListBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                 int32_t iHeight)
    : QListWidget(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "ListBox", true) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    viewport()->setFocusPolicy(Qt::NoFocus);
    Move(iLeft, iTop, iWidth, iHeight);
    connect(this, &QListWidget::currentRowChanged, this, [this](int iRow) { rowChanged(iRow); });
}

void ListBox::rowChanged(int iRow) {
    if (mQuiet || iRow == mIndex) return;
    mIndex = iRow;
    raiseEvent("Click", Click);
}

void ListBox::showChoice() {
    const bool was = mQuiet;
    mQuiet = true;
    if (mIndex < 0) {
        setCurrentRow(-1);
        clearSelection();
    } else {
        setCurrentRow(mIndex);
    }
    mQuiet = was;
}

QString ListBox::Text() const { return List(mIndex); }

void ListBox::AddItem(const QString& iItem, int32_t iIndex) {
    if (iIndex > count() || iIndex < -1) vbRaise(vberr::kInvalidCall);
    const int row = iIndex < 0 ? count() : iIndex;
    const bool was = mQuiet;
    mQuiet = true;
    insertItem(row, iItem);
    mQuiet = was;
    if (mIndex >= row) ++mIndex;
    showChoice();
}

void ListBox::RemoveItem(int32_t iIndex) {
    if (iIndex < 0 || iIndex >= count()) vbRaise(vberr::kInvalidCall);
    const bool was = mQuiet;
    mQuiet = true;
    delete takeItem(iIndex);
    mQuiet = was;
    if (mIndex == iIndex) mIndex = -1;
    else if (mIndex > iIndex) --mIndex;
    showChoice();
}

void ListBox::Clear() {
    const bool was = mQuiet;
    mQuiet = true;
    clear();
    mQuiet = was;
    mIndex = -1;
}

QString ListBox::List(int32_t iIndex) const {
    const QListWidgetItem* it = iIndex >= 0 ? item(iIndex) : nullptr;
    return it ? it->text() : QString();
}

void ListBox::setList(int32_t iIndex, const QString& iText) {
    QListWidgetItem* it = iIndex >= 0 ? item(iIndex) : nullptr;
    if (!it) vbRaise(380, QStringLiteral("Invalid property value"));
    it->setText(iText);
}

void ListBox::setListIndex(int32_t iIndex) {
    if (iIndex < -1 || iIndex >= count()) vbRaise(380, QStringLiteral("Invalid property value"));
    if (iIndex == mIndex) return;
    mIndex = iIndex;
    showChoice();
    raiseEvent("Click", Click);
}

// Taking the focus does not choose an entry (Qt would make the first one current).
void ListBox::focusInEvent(QFocusEvent* iEvent) {
    const bool was = mQuiet;
    mQuiet = true;
    QListWidget::focusInEvent(iEvent);
    mQuiet = was;
    showChoice();
}

void ListBox::keyPressEvent(QKeyEvent* iEvent) {
    QListWidget::keyPressEvent(iEvent);
    iEvent->accept();
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* iEvent) {
    QListWidget::mouseDoubleClickEvent(iEvent);
    if (iEvent->button() == Qt::LeftButton && itemAt(iEvent->position().toPoint())) raiseEvent("DblClick", DblClick);
}
