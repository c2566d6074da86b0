#include "platform/ui/Form.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/AppFont.h"
#include "platform/ui/Control.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/EventRouter.h"
#include "platform/ui/InputLock.h"
#include "platform/ui/Label.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Validation.h"
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QMenuBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>

namespace {
bool gEnding = false;

QList<Form*>& liveForms() {
    static QList<Form*> s;
    return s;
}
}

Form::Form(const QString& iName) : QWidget(nullptr, Qt::Window) {
    setObjectName(iName);
    setWindowTitle(iName);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    mClient = new QWidget(this);
    mClient->setFocusPolicy(Qt::NoFocus);
    liveForms().append(this);
    EventRouter::install();
    appfont::install();
}

Form::~Form() {
    mDying = true;
    // The drawing surface filters the client area's events and reads this
    // window's size: it goes first, before Qt destroys the client under it.
    detachFormSurface(*this);
    liveForms().removeAll(this);
    inputlock::setLocked(this, false);
    // The window's handlers belong to the derived class, which is gone: nothing the
    // children do while Qt destroys them may reach them.
    const QList<QObject*> all = findChildren<QObject*>();
    for (QObject* o : all) o->blockSignals(true);
    for (Control* c : std::as_const(mControls)) c->mForm = nullptr;
    mControls.clear();
}

Form* Form::of(const QObject* iObject) {
    const QObject* o = iObject;
    while (o) {
        if (!o->isWidgetType()) {
            o = o->parent();
            continue;
        }
        const QWidget* win = static_cast<const QWidget*>(o)->window();
        if (auto* f = qobject_cast<const Form*>(win)) return const_cast<Form*>(f);
        // A popup (a menu, a combo box's list) belongs to the window of its owner.
        o = win->parent();
    }
    return nullptr;
}

QList<Form*> Form::allForms() { return liveForms(); }

void Form::addControl(Control* iControl) { mControls.append(iControl); }
void Form::removeControl(Control* iControl) { mControls.removeAll(iControl); }

int32_t Form::Left() const { return twips::remembered(mLeft, pos().x()); }
int32_t Form::Top() const { return twips::remembered(mTop, pos().y()); }
// The outer size is the one set, else the client size set plus the frame and menu bar.
int32_t Form::Width() const {
    const int outer = frameGeometry().width();
    const int32_t fromClient = ScaleWidth() + twips::fromPixels(outer - width());
    return twips::remembered(mWidth != INT32_MIN ? mWidth : fromClient, outer);
}

int32_t Form::Height() const {
    const int outer = frameGeometry().height();
    const int32_t fromClient = ScaleHeight() + twips::fromPixels(outer - height() + mMenuBarHeight);
    return twips::remembered(mHeight != INT32_MIN ? mHeight : fromClient, outer);
}

void Form::setWidth(int32_t iWidth) {
    const int frame = frameGeometry().width() - width();
    resize(std::max(1, twips::toPixels(iWidth) - frame), height());
    mWidth = iWidth;
    mScaleWidth = iWidth - twips::fromPixels(frame);
    layoutClient();
}

void Form::setHeight(int32_t iHeight) {
    const int frame = frameGeometry().height() - height();
    resize(width(), std::max(1, twips::toPixels(iHeight) - frame));
    mHeight = iHeight;
    mScaleHeight = iHeight - twips::fromPixels(frame + mMenuBarHeight);
    layoutClient();
}

void Form::Move(int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight) {
    if (iWidth != INT32_MIN) setWidth(iWidth);
    if (iHeight != INT32_MIN) setHeight(iHeight);
    move(twips::toPixels(iLeft), twips::toPixels(iTop));
    mLeft = iLeft;
    mTop = iTop;
}

int32_t Form::ScaleWidth() const { return twips::remembered(mScaleWidth, width()); }
int32_t Form::ScaleHeight() const { return twips::remembered(mScaleHeight, height() - mMenuBarHeight); }

void Form::setClientSize(int32_t iWidth, int32_t iHeight) {
    resize(std::max(1, twips::toPixels(iWidth)), std::max(1, twips::toPixels(iHeight)) + mMenuBarHeight);
    mScaleWidth = iWidth;
    mScaleHeight = iHeight;
    mWidth = mHeight = INT32_MIN;
    layoutClient();
}

void Form::layoutClient() {
    if (mMenuBar) mMenuBar->setGeometry(0, 0, width(), mMenuBarHeight);
    mClient->setGeometry(0, mMenuBarHeight, width(), std::max(0, height() - mMenuBarHeight));
}

void Form::resizeEvent(QResizeEvent* iEvent) {
    QWidget::resizeEvent(iEvent);
    layoutClient();
}

QMenuBar* Form::menuBar() {
    if (!mMenuBar) {
        mMenuBar = new QMenuBar(this);
        mMenuBar->setNativeMenuBar(false);
        mMenuBar->setFocusPolicy(Qt::NoFocus);
        mMenuBar->show();
    }
    return mMenuBar;
}

void Form::updateMenuBar() {
    if (!mMenuBar) return;
    const int h = mMenuBar->sizeHint().height();
    if (h == mMenuBarHeight) return;
    // The client area keeps its size: the window grows by the menu bar.
    const int clientHeight = height() - mMenuBarHeight;
    mMenuBarHeight = h;
    resize(width(), clientHeight + h);
    layoutClient();
}

int16_t Form::WindowState() const {
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized) return vbMinimized;
    if (s & Qt::WindowMaximized) return vbMaximized;
    return vbNormal;
}

void Form::setWindowState(int16_t iState) {
    const Qt::WindowState s = iState == vbMinimized   ? Qt::WindowMinimized
                              : iState == vbMaximized ? Qt::WindowMaximized
                                                      : Qt::WindowNoState;
    QWidget::setWindowState(Qt::WindowStates(s));
}

void Form::runLoad() {
    if (mState == State::Loaded) return;
    mState = State::Loaded;
    // A window opens over the one it belongs to, unless its own code places it
    // (its load step may still do so, from where it now stands).
    if (!placedByCode() && !isVisible()) gCentreOnOwner(*this);
    uievents::raise(this, this, "Load", Load);
}

void Form::Show(int16_t iMode) {
    if (mState != State::Loaded) runLoad();
    if (gEnding || mState != State::Loaded) return;
    if (iMode == vbModal) {
        gShowModal(this);
        return;
    }
    const bool wasVisible = isVisible();
    show();
    if (wasVisible) raise();
}

bool Form::UnloadMe() {
    if (mState != State::Loaded) {
        hide();
        return true;
    }
    if (!gEnding) {
        int16_t cancel = 0;
        uievents::raise(this, this, "Unload", Unload, cancel);
        if (cancel != 0) return false;
    }
    stopTimers();
    mState = State::Unloaded;
    hide();
    emit unloaded();
    return true;
}

QList<Form*> Form::loadedForms() {
    QList<Form*> out;
    for (Form* f : std::as_const(liveForms()))
        if (f->Loaded()) out << f;
    return out;
}

void Form::release() {
    if (mHandlersRunning > 0) {
        mReleaseWhenIdle = true;   // deleted when its own handler has returned
        return;
    }
    delete this;
}

void Form::closeEvent(QCloseEvent* iEvent) {
    if (mDying || gEnding || mState != State::Loaded) {
        iEvent->accept();
        return;
    }
    if (inputlock::isLocked(this) || !Validation::allowFocusMove(*this, nullptr) || !UnloadMe()) {
        iEvent->ignore();
        return;
    }
    iEvent->accept();
}

void Form::showEvent(QShowEvent* iEvent) {
    QWidget::showEvent(iEvent);
    if (!mShownOnce) {
        mShownOnce = true;
        resolveAccessKeys();
    }
    // A window shown gives the focus to its first control in tab order.
    if (!focusWidget()) {
        if (Control* first = nextInTabOrder(nullptr, true)) first->focusNow(Qt::OtherFocusReason);
    }
}

void Form::Refresh() {
    if (!isVisible()) return;
    // A window just shown must be on the screen before it can be painted.
    if (QWindow* w = windowHandle(); w && !w->isExposed()) {
        QElapsedTimer t;
        t.start();
        while (!w->isExposed() && t.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    repaint();
}

void Form::BringToFront() {
    if (windowState() & Qt::WindowMinimized) setWindowState(vbNormal);
    show();
    raise();
    activateWindow();
}

bool Form::Enabled() const { return !inputlock::isLocked(this); }
void Form::setInputEnabled(bool iEnabled) { inputlock::setLocked(this, !iEnabled); }

Control* Form::ActiveControl() const {
    QWidget* fw = focusWidget();
    return fw ? Control::of(fw) : nullptr;
}

Control* Form::control(const QString& iName, int16_t iIndex) const {
    for (Control* c : mControls)
        if (c->Name() == iName && c->Index() == iIndex) return c;
    return nullptr;
}

Menu* Form::menu(const QString& iName) const {
    for (Control* c : mControls)
        if (auto* m = dynamic_cast<Menu*>(c); m && m->Name() == iName) return m;
    return nullptr;
}

double Form::TextWidth(const QString& iText) const {
    return QFontMetricsF(font()).horizontalAdvance(iText) * twips::kPerPixel;
}

void Form::stopTimers() {
    for (Control* c : std::as_const(mControls))
        if (auto* t = qobject_cast<TimerControl*>(c->object())) t->stop();
}

void Form::EndProgram() {
    gEnding = true;
    for (Form* f : std::as_const(liveForms())) {
        f->stopTimers();
        f->hide();
    }
    QCoreApplication::exit(0);
}

bool Form::programEnding() { return gEnding; }

void Form::resolveAccessKeys() {
    // A label's access key gives the focus to the next control in tab order.
    for (qsizetype i = 0; i < mControls.size(); ++i) {
        auto* label = dynamic_cast<Label*>(mControls.at(i));
        if (!label) continue;
        Control* target = nullptr;
        for (qsizetype j = i + 1; j < mControls.size() && !target; ++j)
            if (mControls.at(j)->takesFocus()) target = mControls.at(j);
        label->setAccessTarget(target);
    }
}

bool Form::isTabCandidate(const Control* iControl) const {
    if (!iControl->takesFocus() || !iControl->TabStop()) return false;
    const QWidget* w = iControl->widget();
    if (!w || !w->isVisibleTo(this) || !w->isEnabled()) return false;
    // Option buttons: Tab stops only at the chosen one of a group (or the group's first).
    if (auto* o = dynamic_cast<const OptionButton*>(iControl); o && !o->Value()) {
        const OptionButton* first = nullptr;
        for (Control* c : mControls) {
            auto* other = dynamic_cast<const OptionButton*>(c);
            if (!other || other->parentWidget() != o->parentWidget() || !other->isVisibleTo(this) ||
                !other->isEnabled())
                continue;
            if (other->Value()) return false;
            if (!first) first = other;
        }
        return first == o;
    }
    return true;
}

Control* Form::nextInTabOrder(Control* iFrom, bool iForward) const {
    const qsizetype n = mControls.size();
    if (n == 0) return nullptr;
    qsizetype start = iFrom ? mControls.indexOf(iFrom) : -1;
    if (start < 0) start = iForward ? -1 : n;
    for (qsizetype step = 1; step <= n; ++step) {
        const qsizetype i = ((start + (iForward ? step : -step)) % n + n) % n;
        Control* c = mControls.at(i);
        if (c != iFrom && isTabCandidate(c)) return c;
    }
    return nullptr;
}

Menu* Form::menuForShortcut(int16_t iKeyCode, int16_t iShift) const {
    for (Control* c : mControls)
        if (auto* m = dynamic_cast<Menu*>(c); m && m->matches(iKeyCode, iShift)) return m;
    return nullptr;
}
