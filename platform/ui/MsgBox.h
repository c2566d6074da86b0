#pragma once
#include <QList>
#include <QRect>
#include <QString>
#include <functional>

class QWidget;

// Button sets, icons and default buttons of the station's message boxes, and
// the answers they return.
enum MsgBoxStyle : int {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// What one message box showed: tests read it and choose the answer.
struct MsgBoxCall {
    QString prompt;          // as the station wrote it (CR LF kept)
    QString title;
    int style = 0;           // the whole style value passed
    int icon = 0;            // vbCritical, vbQuestion, vbExclamation, vbInformation or 0
    QList<int> answers;      // the buttons, left to right
    int defaultAnswer = 0;   // the answer of the default button
    QRect placed;            // where the box opens on the screen (pixels, frame included)
};

// Shows a modal message box and returns the answer. An empty title is the
// application title. Only the buttons' own answers can come back: the close box
// and Esc give Cancel where there is one, OK for a lone OK, and nothing otherwise.
int gMsgBox(const QString& iPrompt, int iStyle = vbOKOnly, const QString& iTitle = QString());

// Shows a window modally and returns when it is hidden, unloaded or closed (a
// Form's Hide, UnloadMe or close box). A window shown without blocking before is
// shown again modally; afterwards it can be shown without blocking again.
void gShowModal(QWidget* iWindow);

// Test hooks: a script answers every box (and gets what was shown); a modal
// script is called for every window shown modally and acts in it as the user
// would (type, click, close). The test fixture takes both from one queue of
// what the user does, in order.
// Without a script on the offscreen platform a box answers its default button
// (Abort where the default is Retry), so nothing ever waits for a person.
using MsgBoxScript = std::function<int(const MsgBoxCall&)>;
using ModalScript = std::function<void(QWidget&)>;
void setMsgBoxScript(MsgBoxScript iScript);
void setModalScript(ModalScript iScript);

// The window a box or dialog belongs to: the innermost shown window whose
// handler is running, else the active window, else the station's first window
// on the screen (the main window); nullptr when none is shown.
QWidget* gOwnerWindow(const QWidget* iExcept = nullptr);
// Moves a box or dialog (not yet shown) so that it is centred on its owner
// (on the screen when no window is shown), inside the screen.
void gCentreOnOwner(QWidget& ioWindow);

// The QMessageBox text for a station prompt: CR LF, CR and LF become line breaks.
QString msgBoxDisplayText(const QString& iPrompt);
