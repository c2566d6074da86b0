#pragma once
#include "platform/ui/MsgBox.h"
#include "platform/vb/VbError.h"
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <typeinfo>

// The readable name of a window class, for failure messages.
std::string windowTypeName(const std::type_info& iType);

// Every station test runs in a fresh program folder and settings store of a
// station as one is used (its settings file as its first start wrote it, its
// drive voltage calibrated: a case about their absence removes them), with a
// virtual clock, an English (UK) locale unless it chooses another, and message
// boxes and modal windows handled by script and recorded.
//
// What the user does is queued in the order it happens: answer() for the next
// message boxes, expectModal<frmX>() for the next modal window with the user's
// actions in it. Each answer is for the box that offers it:
// - a notice (a box with OK alone) takes a queued OK and no other answer. A
//   warning or error notice (vbExclamation, vbCritical) with no OK next fails
//   the test naming the box: the queued OK is the script saying it expects it.
//   Any other notice is then acknowledged and recorded. Either way an answer
//   queued for another box waits for that box;
// - a question (a box with a choice) takes the next answer; one it does not
//   offer fails the test naming the box, and so does a question shown while a
//   window is next in the queue or with an empty queue (it then answers its
//   default button, Abort where the default is Retry);
// - an error box of the central handler is a question too, unless the test
//   said with allowErrors() which errors it drives the station into: such an
//   error, with no answer it offers next in the queue, answers its default
//   button (Abort where that is Retry), and the bug-report offer after it No.
// A modal window not expected, one of another type than expected, or one shown
// while a box answer is still waiting fails the test naming the window, and is
// closed. When the test ends (endOfScript(), which the rigs' TearDown calls
// before they close their windows) an answer or window still queued fails it,
// and so does an error allowed that never came; answers a rig queues for its
// own closing are not counted.
class StationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void answer(std::initializer_list<int> iAnswers) {
        for (int a : iAnswers) mExpected.push_back(Expected{a, {}, {}, {}});
    }
    // The next box's answer, given after iLook has seen what the station shows
    // while the box is open (a question asked about a curve on the screen).
    void answerAfterLooking(int iAnswer, std::function<void(const MsgBoxCall&)> iLook) {
        mExpected.push_back(Expected{iAnswer, {}, {}, std::move(iLook)});
    }
    // For a test that drives the station into errors: an error box of the
    // central handler whose text holds one of iExpected answers its default
    // button (unless an answer it offers is next in the queue), and its
    // bug-report offer No, however many come; each text must be met by at
    // least one error box before the test ends (unless ibMustCome is false:
    // errors that may come, where the test cannot say whether they do).
    // A warning or error notice holding one of them is acknowledged too
    // (where the refusal is shown by the step it stops rather than by the
    // central handler); it is not the error box that must come.
    // Other errors and questions must still be answered in turn.
    void allowErrors(const QStringList& iExpected, bool ibMustCome = true);
    // For a case on a real sound card: an error box holding one of iTexts (a
    // refusal the station rightly makes on a busy machine) is answered Retry,
    // as an operator would, up to iTimes in all; one more fails the test.
    void retryErrors(const QStringList& iTexts, int iTimes) {
        mRetryTexts = iTexts;
        mRetriesLeft = iTimes;
    }
    // The end of what the test's user does: whatever is still queued, and
    // every allowed error not met, fails the test. The rigs call it first in
    // their TearDown; answers queued after it (a rig's own closing) may be left.
    void endOfScript();
    template <class F>
    void expectModal(std::function<void(F&)> iUser) {
        mExpected.push_back(Expected{0, windowTypeName(typeid(F)), [iUser](QWidget& w) {
                                         F* f = dynamic_cast<F*>(&w);
                                         if (f) iUser(*f);
                                         return f != nullptr;
                                     }, {}});
    }
    const QList<MsgBoxCall>& boxes() const { return mBoxes; }
    void clearBoxes() { mBoxes.clear(); }
    // The names of the modal windows shown, in order.
    const QStringList& modals() const { return mModals; }
    // Boxes and windows together as they came: "box <prompt>" or "window <name>".
    const QStringList& shownInOrder() const { return mShown; }

    QString home() const { return mHome.path(); }
    QString settingsFolder() const { return mSettings.path(); }
    QString homeFile(const QString& iName) const;
    QByteArray readHomeFile(const QString& iName) const;
    void writeHomeFile(const QString& iName, const QByteArray& iBytes) const;
    void setLocale(const QLocale& iLocale);
    void setNow(const QDateTime& iNow);

private:
    struct Expected {
        int answer = 0;                         // a box's answer, or 0 for a window
        std::string window;                     // the window type expected
        std::function<bool(QWidget&)> user;     // false: the window is of another type
        std::function<void(const MsgBoxCall&)> look;   // what the user looks at before answering a box
    };
    int onBox(const MsgBoxCall& iCall);
    void onModal(QWidget& ioWindow);
    int unexpectedBox(const MsgBoxCall& iCall, const std::string& iWhy);

    QTemporaryDir mHome;
    QTemporaryDir mSettings;
    std::deque<Expected> mExpected;
    QStringList mRetryTexts;
    int mRetriesLeft = 0;
    QStringList mAllowedErrors;
    QList<bool> mAllowedErrorsMet;
    bool mLastBoxAnAllowedError = false;
    bool mScriptEnded = false;
    QList<MsgBoxCall> mBoxes;
    QStringList mModals;
    QStringList mShown;
};

// A disk that fills up, for as long as it lives: no file the test process
// writes can grow past iBytes. A write beyond fails as one on a full disk does
// ("File too large" where a full disk says "No space left on device"), and
// the signal the system would end the process with meanwhile is ignored. The
// limit holds for every file the process writes (databases, the error log), so
// a test sets it around the user's action only, above what must still be written.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 iBytes);
    ~FileSizeLimit() { lift(); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    // The disk has room again.
    void lift();

private:
    bool mSet = false;
    quint64 mOldSoft = 0;
    void* mOldSignal = nullptr;
};

// The files in iFolder whose names start with iPrefix, hidden ones too.
QStringList filesStartingWith(const QString& iFolder, const QString& iPrefix);

// The number of the run-time error a call raises, 0 when it raises none.
template <typename F>
long errorOf(F&& iCall) {
    try {
        iCall();
    } catch (const VbError& e) {
        return e.number;
    }
    return 0;
}
