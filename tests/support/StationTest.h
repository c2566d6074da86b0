#pragma once
#include "platform/ui/MsgBox.h"
#include "platform/vb/VbError.h"
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

// Every station test runs in a fresh program folder and settings store, with a
// virtual clock, an English (UK) locale unless it chooses another, and message
// boxes answered by script and recorded.
class StationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Answers for the next message boxes, in order; when none is queued a box
    // answers its default button (Abort where the default is Retry).
    void answer(std::initializer_list<int> iAnswers) { mAnswers.insert(mAnswers.end(), iAnswers); }
    const QList<MsgBoxCall>& boxes() const { return mBoxes; }
    void clearBoxes() { mBoxes.clear(); }

    QString home() const { return mHome.path(); }
    QString settingsFolder() const { return mSettings.path(); }
    QString homeFile(const QString& iName) const;
    QByteArray readHomeFile(const QString& iName) const;
    void writeHomeFile(const QString& iName, const QByteArray& iBytes) const;
    void setLocale(const QLocale& iLocale);
    void setNow(const QDateTime& iNow);

private:
    QTemporaryDir mHome;
    QTemporaryDir mSettings;
    std::deque<int> mAnswers;
    QList<MsgBoxCall> mBoxes;
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
