#include "platform/ui/Menu.h"
#include "platform/ui/Form.h"
#include "platform/ui/KeyCodes.h"
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

Menu::Menu(Form* iForm, const QString& iName, const QString& iCaption, Menu* iParent, const QString& iShortcut)
    : QObject(iForm), Control(this, nullptr, iForm, iName, "Menu", false), mParent(iParent), mShortcut(iShortcut) {
    mAction = new QAction(this);
    if (!mShortcut.isEmpty()) {
        const QKeySequence seq(mShortcut, QKeySequence::PortableText);
        if (!seq.isEmpty()) {
            const QKeyCombination k = seq[0];
            mKeyCode = keycodes::keyCodeOfQtKey(k.key(), false);
            mShift = keycodes::shiftMask(k.keyboardModifiers());
        }
    }
    setCaption(iCaption);
    connect(mAction, &QAction::triggered, this, [this] { fireClick(); });
    if (mParent) mParent->ensureSubMenu()->addAction(mAction);
    else if (iForm) {
        iForm->menuBar()->addAction(mAction);
        iForm->updateMenuBar();
    }
}

QMenu* Menu::ensureSubMenu() {
    if (!mSub) {
        mSub = new QMenu(form());
        mAction->setMenu(mSub);
        connect(mSub, &QMenu::aboutToShow, this, [this] { raiseEvent("Click", Click); });
    }
    return mSub;
}

void Menu::setCaption(const QString& iCaption) {
    mCaption = iCaption;
    updateText();
}

void Menu::updateText() {
    const bool separator = mCaption == QLatin1String("-");
    mAction->setSeparator(separator);
    // A separator is drawn as a line: a text would be printed on it.
    if (separator) {
        mAction->setText(QString());
        return;
    }
    // The shortcut is shown beside the caption; the window runs it (see matches()).
    QString text = mCaption;
    if (mParent && !mShortcut.isEmpty())
        text += QLatin1Char('\t') + QKeySequence(mShortcut, QKeySequence::PortableText).toString(QKeySequence::NativeText);
    mAction->setText(text);
}

bool Menu::Enabled() const { return mAction->isEnabled(); }
void Menu::setEnabled(bool iEnabled) { mAction->setEnabled(iEnabled); }
bool Menu::Visible() const { return mAction->isVisible(); }
void Menu::setVisible(bool iVisible) {
    mAction->setVisible(iVisible);
    if (!mParent && form()) form()->updateMenuBar();
}
bool Menu::Checked() const { return mAction->isChecked(); }
void Menu::setChecked(bool iChecked) {
    mAction->setCheckable(iChecked || mAction->isCheckable());
    mAction->setChecked(iChecked);
}

bool Menu::reachable() const {
    for (const Menu* m = this; m; m = m->mParent)
        if (!m->Enabled() || !m->Visible() || m->mAction->isSeparator()) return false;
    return true;
}

bool Menu::matches(int16_t iKeyCode, int16_t iShift) const {
    return mKeyCode != 0 && mKeyCode == iKeyCode && mShift == iShift && reachable();
}

void Menu::fireClick() {
    if (reachable()) raiseEvent("Click", Click);
}
