#include "tests/support/StationTest.h"
#include "platform/os/Clock.h"
#include "platform/vb/Locale.h"
#include "platform/os/Settings.h"
#include <QDir>
#include <QFile>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>

std::string windowTypeName(const std::type_info& iType) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(iType.name(), nullptr, nullptr, &status), std::free);
    std::string text = status == 0 && name ? std::string(name.get()) : std::string(iType.name());
    // Windows are known by their class name alone.
    const size_t colons = text.rfind("::");
    return colons == std::string::npos ? text : text.substr(colons + 2);
}

void StationTest::SetUp() {
    ASSERT_TRUE(mHome.isValid());
    ASSERT_TRUE(mSettings.isValid());
    qputenv("VEXO_HOME", mHome.path().toLocal8Bit());
    settingsstore::setFolder(mSettings.path());
    userlocale::setUser(QLocale(QLocale::English, QLocale::UnitedKingdom));
    vclock::setVirtual(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    setMsgBoxScript([this](const MsgBoxCall& iCall) { return onBox(iCall); });
    setModalScript([this](QWidget& w) { onModal(w); });
}

int StationTest::onBox(const MsgBoxCall& iCall) {
    mBoxes << iCall;
    mShown << QStringLiteral("box ") + iCall.prompt;
    if (mExpected.empty() || mExpected.front().answer == 0) {
        // A notice (OK alone) asks nothing: it is acknowledged, and the test
        // reads it from boxes(). A question nobody scripted fails the test:
        // answering its default button would hide a question the user was
        // never meant to see. It still gets an answer so that the station goes
        // on (Abort for an error: Retry would run the failing step for ever).
        if (iCall.answers == QList<int>{vbOK}) return vbOK;
        const bool error = iCall.answers == QList<int>{vbAbort, vbRetry, vbIgnore} ||
                           iCall.prompt == QLatin1String("Would you like to email Pelmo a bug report?");
        if (!(mAllowErrors && error))
            ADD_FAILURE() << "message box \"" << iCall.prompt.toStdString() << "\" (" << iCall.title.toStdString()
                          << ") shown but not expected"
                          << (mExpected.empty() ? std::string() : " while the window " + mExpected.front().window + " was next");
        if (iCall.defaultAnswer == vbRetry) return vbAbort;
        // A test that allows errors sends no bug reports.
        return error && iCall.answers.contains(vbNo) ? int(vbNo) : iCall.defaultAnswer;
    }
    const Expected next = mExpected.front();
    mExpected.pop_front();
    if (next.look) next.look(iCall);
    return next.answer;
}

void StationTest::onModal(QWidget& ioWindow) {
    const QString name = ioWindow.objectName();
    mModals << name;
    mShown << QStringLiteral("window ") + name;
    if (mExpected.empty()) {
        ADD_FAILURE() << "modal window " << name.toStdString() << " shown but not expected";
    } else if (mExpected.front().answer != 0) {
        ADD_FAILURE() << "modal window " << name.toStdString() << " shown while the answer "
                      << mExpected.front().answer << " for a message box was next";
    } else {
        const Expected next = mExpected.front();
        mExpected.pop_front();
        if (!next.user(ioWindow))
            ADD_FAILURE() << "modal window " << name.toStdString() << " (" << windowTypeName(typeid(ioWindow))
                          << ") shown where " << next.window << " was expected";
        return;
    }
    // gShowModal closes a window its script leaves open.
}

void StationTest::TearDown() {
    // Answers may be queued for boxes that come only when something goes wrong;
    // a window the user was to act in must have come.
    for (const Expected& e : mExpected)
        if (e.answer == 0) ADD_FAILURE() << "modal window " << e.window << " was expected but never shown";
    mExpected.clear();
    setMsgBoxScript(nullptr);
    setModalScript(nullptr);
    vclock::setReal();
    userlocale::resetUser();
}

QString StationTest::homeFile(const QString& iName) const { return QDir(mHome.path()).filePath(iName); }

QByteArray StationTest::readHomeFile(const QString& iName) const {
    QFile f(homeFile(iName));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void StationTest::writeHomeFile(const QString& iName, const QByteArray& iBytes) const {
    QFile f(homeFile(iName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(iBytes);
}

void StationTest::setLocale(const QLocale& iLocale) { userlocale::setUser(iLocale); }

void StationTest::setNow(const QDateTime& iNow) { vclock::setVirtual(iNow); }
