#include "tests/support/StationTest.h"
#include "platform/os/Clock.h"
#include "platform/os/Locale.h"
#include "platform/os/Settings.h"
#include <QDir>
#include <QFile>

void StationTest::SetUp() {
    ASSERT_TRUE(mHome.isValid());
    ASSERT_TRUE(mSettings.isValid());
    qputenv("VEXO_HOME", mHome.path().toLocal8Bit());
    settingsstore::setFolder(mSettings.path());
    userlocale::setUser(QLocale(QLocale::English, QLocale::UnitedKingdom));
    vclock::setVirtual(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
    setMsgBoxScript([this](const MsgBoxCall& iCall) {
        mBoxes << iCall;
        // An error nobody expected answers Abort: Retry by default would run the
        // failing step again for ever.
        if (mAnswers.empty()) return iCall.defaultAnswer == vbRetry ? int(vbAbort) : iCall.defaultAnswer;
        const int a = mAnswers.front();
        mAnswers.pop_front();
        return a;
    });
}

void StationTest::TearDown() {
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
