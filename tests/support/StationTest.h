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

// Every station test runs in a fresh program folder and settings store, with a
// virtual clock, an English (UK) locale unless it chooses another, and message
// boxes and modal windows handled by script and recorded.
//
// What the user does is queued in the order it happens: answer() for the next
// message boxes, expectModal<frmX>() for the next modal window with the user's
// actions in it. A notice (a box with OK alone) needs no answer queued: it is
// acknowledged and recorded. A question (a box with a choice) shown while a
// window is next in the queue, or with an empty queue, fails the test naming
// its text, and answers its default button (Abort where the default is
// Retry). A modal window not expected, one of another type than expected, or one shown
// while a box answer is still waiting fails the test naming the window, and is
// closed. A window still queued when the test ends fails it too (answers
// left over are allowed: they may be meant for boxes that show only on error).
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
    // For a test that drives the station into errors: every error box of the
    // central handler answers its default button (Abort where it is Retry) and
    // its bug-report offer No, however many come. Other questions must still
    // be answered in turn.
    void allowErrors() { mAllowErrors = true; }
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

    QTemporaryDir mHome;
    QTemporaryDir mSettings;
    std::deque<Expected> mExpected;
    bool mAllowErrors = false;
    QList<MsgBoxCall> mBoxes;
    QStringList mModals;
    QStringList mShown;
};

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
