#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/Twips.h"
#include "platform/ui/Validation.h"
#include "platform/vb/VbError.h"
#include <QWidget>
#include <algorithm>
#include <cstdio>

Control::Control(QObject* iSelf, QWidget* iWidget, QWidget* iContainer, const QString& iName, const char* iKind,
                 bool iTakesFocus)
    : mSelf(iSelf), mWidget(iWidget), mKind(iKind), mTakesFocus(iTakesFocus) {
    mSelf->setObjectName(iName);
    // The layer gives the focus itself (click, Tab, access keys, code), so that the
    // control being left can refuse it in its Validate before anything moves.
    if (mWidget) mWidget->setFocusPolicy(Qt::NoFocus);
    mForm = Form::of(iContainer);
    if (mForm) mForm->addControl(this);
}

Control::~Control() {
    // No event of a control that is going away reaches its window.
    mSelf->blockSignals(true);
    if (mForm) mForm->removeControl(this);
}

Control* Control::of(const QObject* iObject) {
    for (const QObject* o = iObject; o; o = o->parent()) {
        if (qobject_cast<const Form*>(o)) return nullptr;
        if (auto* c = dynamic_cast<Control*>(const_cast<QObject*>(o))) return c;
    }
    return nullptr;
}

QWidget* Control::qtParent(QWidget* iContainer) {
    if (auto* f = qobject_cast<Form*>(iContainer)) return f->client();
    return iContainer;
}

QString Control::Name() const { return mSelf->objectName(); }

Control* Control::Container() const {
    return mWidget && mWidget->parentWidget() ? Control::of(mWidget->parentWidget()) : nullptr;
}

int32_t Control::Left() const { return mWidget ? twips::remembered(mLeft, mWidget->x()) : mLeft; }
int32_t Control::Top() const { return mWidget ? twips::remembered(mTop, mWidget->y()) : mTop; }
int32_t Control::Width() const { return mWidget ? twips::remembered(mWidth, mWidget->width()) : mWidth; }
int32_t Control::Height() const { return mWidget ? twips::remembered(mHeight, mWidget->height()) : mHeight; }

void Control::Move(int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight) {
    if (iWidth < 0 || iHeight < 0) vbRaise(380, QStringLiteral("Invalid property value"));
    mLeft = iLeft;
    mTop = iTop;
    mWidth = iWidth;
    mHeight = iHeight;
    if (mWidget)
        mWidget->setGeometry(twips::toPixels(iLeft), twips::toPixels(iTop), twips::toPixels(iWidth),
                             twips::toPixels(iHeight));
}

bool Control::Visible() const {
    return !mWidget || !(mWidget->isHidden() && mWidget->testAttribute(Qt::WA_WState_ExplicitShowHide));
}

bool Control::Enabled() const { return !mWidget || !mWidget->testAttribute(Qt::WA_ForceDisabled); }

QString Control::ToolTipText() const { return mWidget ? mWidget->toolTip() : QString(); }
void Control::setToolTipText(const QString& iText) {
    if (mWidget) mWidget->setToolTip(iText);
}

QWidget* Control::keyTarget() const { return mWidget; }

bool Control::HasFocus() const { return mForm && mForm->ActiveControl() == this; }

void Control::SetFocus() { Validation::moveFocus(*this, Qt::OtherFocusReason); }

bool Control::SetFocusIfAble() {
    if (!mWidget || !mForm || !mForm->Loaded()) return false;
    if (!mWidget->isVisibleTo(mForm) || !mWidget->isEnabled()) return false;
    return Validation::moveFocus(*this, Qt::OtherFocusReason);
}

void Control::focusNow(Qt::FocusReason iReason) {
    if (mWidget) mWidget->setFocus(iReason);
}

namespace uievents {
namespace {
QList<Form*>& runningForms() {
    static QList<Form*> forms;
    return forms;
}
}

const QList<Form*>& running() { return runningForms(); }

HandlerScope::HandlerScope(Form* iForm) : mForm(iForm) {
    if (!mForm) return;
    ++mForm->mHandlersRunning;
    runningForms().append(mForm);
}

HandlerScope::~HandlerScope() {
    if (!mForm) return;
    runningForms().removeAt(runningForms().lastIndexOf(mForm));
    if (--mForm->mHandlersRunning == 0 && mForm->mReleaseWhenIdle) mForm->deleteLater();
}

bool allowed(const Form* iForm) {
    if (Form::programEnding()) return false;
    return !iForm || iForm->acceptsEvents();
}

void reportEscaped(const QObject* iSource, const char* iEvent) {
    QString text;
    try {
        throw;
    } catch (const VbError& e) {
        text = QString::number(e.number) + QLatin1Char(' ') + e.description;
    } catch (const std::exception& e) {
        text = QString::fromLocal8Bit(e.what());
    } catch (...) {
        text = QStringLiteral("unknown error");
    }
    std::fprintf(stderr, "[window event] error %s left the %s handler of %s\n", qPrintable(text), iEvent,
                 qPrintable(iSource ? iSource->objectName() : QString()));
}
}
