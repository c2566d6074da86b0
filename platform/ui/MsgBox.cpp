#include "platform/ui/MsgBox.h"
#include "platform/os/AppInfo.h"
#include "platform/os/TerminationSignals.h"
#include "platform/ui/AppFont.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/Twips.h"
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QThread>
#include <QTimer>
#include <cstdio>

namespace {
MsgBoxScript& msgScript() { static MsgBoxScript s; return s; }
ModalScript& modalScript() { static ModalScript s; return s; }

QList<int> answersOf(int iStyle) {
    switch (iStyle & 7) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    case vbRetryCancel: return {vbRetry, vbCancel};
    default: return {vbOK};
    }
}

QString captionOf(int iAnswer) {
    switch (iAnswer) {
    case vbOK: return QStringLiteral("OK");
    case vbCancel: return QStringLiteral("Cancel");
    case vbAbort: return QStringLiteral("&Abort");
    case vbRetry: return QStringLiteral("&Retry");
    case vbIgnore: return QStringLiteral("&Ignore");
    case vbYes: return QStringLiteral("&Yes");
    default: return QStringLiteral("&No");
    }
}

// While the station shuts down nobody is there to answer: a box gives the answer
// that ends the work without writing anything (Abort, else No, else Cancel, else OK).
int shutdownAnswer(const QList<int>& iAnswers) {
    for (int a : {int(vbAbort), int(vbNo), int(vbCancel)})
        if (iAnswers.contains(a)) return a;
    return iAnswers.first();
}

// How often an open box or modal window looks for a shutdown request.
constexpr int kShutdownPollMs = 50;

// A message box that only its buttons can end: without a Cancel or a lone OK,
// the close box and Esc do nothing.
class StationMessageBox : public QMessageBox {
public:
    bool closable = true;
    int escapeAnswer = 0;
    int chosen = 0;

protected:
    void closeEvent(QCloseEvent* e) override {
        if (!closable && chosen == 0) { e->ignore(); return; }
        if (chosen == 0) chosen = escapeAnswer;
        QMessageBox::closeEvent(e);
    }
    // Qt sizes the box as it shows it: centre it again at its final size.
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e);
        gCentreOnOwner(*this);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) {
            if (closable) { chosen = escapeAnswer; done(0); }
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
};
}

QString msgBoxDisplayText(const QString& iPrompt) {
    QString t = iPrompt;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QWidget* gOwnerWindow(const QWidget* iExcept) {
    // The window whose handler asks (the innermost one shown): on a desktop
    // without a window manager a window the user works in need not be active.
    const QList<Form*>& running = uievents::running();
    for (auto it = running.crbegin(); it != running.crend(); ++it)
        if (*it != iExcept && (*it)->isVisible()) return *it;
    QWidget* active = QApplication::activeWindow();
    if (active && active != iExcept && active->isVisible()) return active;
    for (Form* f : Form::allForms()) {
        if (f != iExcept && f->isVisible()) return f;
    }
    return nullptr;
}

void gCentreOnOwner(QWidget& ioWindow) {
    QWidget* owner = gOwnerWindow(&ioWindow);
    ioWindow.ensurePolished();
    if (ioWindow.layout()) ioWindow.layout()->activate();
    QSize size = ioWindow.frameGeometry().size();
    if (!ioWindow.testAttribute(Qt::WA_Resized)) size = size.expandedTo(ioWindow.sizeHint());
    // With no window shown yet, the middle of the screen.
    const QRect screenRect(0, 0, twips::toPixels(twips::screenWidth()), twips::toPixels(twips::screenHeight()));
    QRect r(QPoint(0, 0), size);
    r.moveCenter(owner ? owner->frameGeometry().center() : screenRect.center());
    // Inside the owner's screen: a box larger than the screen keeps its top-left corner on it.
    if (const QScreen* screen = owner ? owner->screen() : ioWindow.screen()) {
        const QRect avail = screen->availableGeometry();
        r.moveLeft(std::max(avail.left(), std::min(r.left(), avail.right() + 1 - r.width())));
        r.moveTop(std::max(avail.top(), std::min(r.top(), avail.bottom() + 1 - r.height())));
    }
    ioWindow.move(r.topLeft());
}

void setMsgBoxScript(MsgBoxScript iScript) { msgScript() = std::move(iScript); }
void setModalScript(ModalScript iScript) { modalScript() = std::move(iScript); }

int gMsgBox(const QString& iPrompt, int iStyle, const QString& iTitle) {
    MsgBoxCall call;
    call.prompt = iPrompt;
    call.title = iTitle.isEmpty() ? appinfo::title() : iTitle;
    call.style = iStyle;
    call.icon = iStyle & 0x70;
    call.answers = answersOf(iStyle);
    const int defIndex = std::min<int>((iStyle >> 8) & 3, call.answers.size() - 1);
    call.defaultAnswer = call.answers.at(defIndex);

    if (termination::requested()) {
        const int answer = shutdownAnswer(call.answers);
        std::fprintf(stderr, "[message box while shutting down] %s: %s -> %d\n", qPrintable(call.title),
                     qPrintable(msgBoxDisplayText(call.prompt)), answer);
        return answer;
    }
    // The script's answer, or where nobody can answer (no display), the default
    // button: an error box gives up the failing step rather than retrying it for ever.
    const auto answerUnseen = [&call] {
        if (msgScript()) {
            const int answer = msgScript()(call);
            return call.answers.contains(answer) ? answer : call.defaultAnswer;
        }
        const int answer = call.defaultAnswer == vbRetry ? int(vbAbort) : call.defaultAnswer;
        std::fprintf(stderr, "[message box] %s: %s -> %d\n", qPrintable(call.title),
                     qPrintable(msgBoxDisplayText(call.prompt)), answer);
        return answer;
    };
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return answerUnseen();
    appfont::install();
    StationMessageBox box;
    box.setWindowTitle(call.title);
    box.setText(msgBoxDisplayText(iPrompt));
    switch (call.icon) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    QList<QPushButton*> buttons;
    for (int a : call.answers) {
        QPushButton* b = box.addButton(captionOf(a), QMessageBox::ActionRole);
        QObject::connect(b, &QAbstractButton::clicked, &box, [&box, a] { box.chosen = a; });
        buttons << b;
    }
    box.setDefaultButton(buttons.at(defIndex));
    if (call.answers.contains(vbCancel)) box.escapeAnswer = vbCancel;
    else if (call.answers == QList<int>{vbOK}) box.escapeAnswer = vbOK;
    else box.closable = false;
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    if (!box.closable) box.setWindowFlags((box.windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) & ~Qt::WindowCloseButtonHint);
    box.adjustSize();
    gCentreOnOwner(box);
    call.placed = QRect(box.pos(), box.frameGeometry().size());
    if (msgScript() || QGuiApplication::platformName() == QLatin1String("offscreen")) return answerUnseen();

    // A shutdown asked for while the box is open answers it.
    QTimer shutdownWatch;
    QObject::connect(&shutdownWatch, &QTimer::timeout, &box, [&box, &call] {
        if (!termination::requested()) return;
        box.chosen = shutdownAnswer(call.answers);
        box.done(0);
    });
    shutdownWatch.start(kShutdownPollMs);
    box.exec();
    return box.chosen != 0 ? box.chosen : (box.escapeAnswer != 0 ? box.escapeAnswer : call.defaultAnswer);
}

void gShowModal(QWidget* iWindow) {
    // While the station shuts down a window is not shown: its display ends undecided.
    if (!iWindow || termination::requested()) return;
    QPointer<QWidget> w(iWindow);
    // A window shown modally once may later be shown without blocking.
    const Qt::WindowModality before = iWindow->windowModality();
    if (iWindow->isVisible()) iWindow->hide();
    iWindow->setWindowModality(Qt::ApplicationModal);
    // A dialog opens over the window it belongs to, unless its own code placed it.
    if (auto* f = qobject_cast<Form*>(iWindow); !f || !f->placedByCode()) gCentreOnOwner(*iWindow);
    if (modalScript()) {
        iWindow->show();
        iWindow->activateWindow();
        // The script types and clicks as a user would: the window must be active.
        QElapsedTimer waited;
        waited.start();
        while (w && w->isVisible() && !w->isActiveWindow() && waited.elapsed() < 500) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (w && !w->isActiveWindow()) w->activateWindow();
            QThread::msleep(1);
        }
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        // A window hidden and shown again can stay the platform's focus window
        // without becoming the active one (offscreen platform).
        if (w && w->isVisible() && !w->isActiveWindow()) QApplication::setActiveWindow(w);
#endif
        if (w) modalScript()(*w);
        // A script that leaves the window open ends the display as Hide would.
        if (w && w->isVisible()) w->hide();
    } else {
        iWindow->show();
        // On top of every other window, its owner's too.
        iWindow->raise();
        iWindow->activateWindow();
        QEventLoop loop;
        // A shutdown asked for meanwhile ends the display undecided.
        QTimer shutdownWatch;
        QObject::connect(&shutdownWatch, &QTimer::timeout, iWindow, [w] {
            if (termination::requested() && w) w->hide();
        });
        shutdownWatch.start(kShutdownPollMs);
        // Poll the window's visibility: it is hidden or unloaded by its own handlers
        // (Hide, UnloadMe, the close box), or destroyed.
        while (w && w->isVisible()) loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::EventLoopExec);
    }
    if (w) w->setWindowModality(before);
}
