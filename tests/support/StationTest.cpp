#include "tests/support/StationTest.h"
#include "platform/os/Clock.h"
#include "platform/vb/Locale.h"
#include "platform/os/Settings.h"
#include <QDir>
#include <QFile>
#include <csignal>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <sys/resource.h>

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
    // A station as one is used: started before, so its settings file holds
    // what its first start wrote, and its drive voltage calibrated against the
    // jig's voltmeter (2 V at the board, 40 V at the amplifier).
    writeHomeFile(QStringLiteral("Vexo_Sys.txt"),
                  "Pelmo Towers\r\n\r\n\r\nTrue\r\nTrue\r\n\r\n0\r\n0\r\n \r\n0\r\nTrue\r\n");
    saveUserSetting(QStringLiteral("gfVOutSoundboard"), QStringLiteral("2"));
    saveUserSetting(QStringLiteral("gfVOutAmp"), QStringLiteral("40"));
    saveUserSetting(QStringLiteral("gbVOutPositivePolarity"), QStringLiteral("-1"));
}

namespace {
QString answerName(int iAnswer) {
    switch (iAnswer) {
    case vbOK: return QStringLiteral("OK");
    case vbCancel: return QStringLiteral("Cancel");
    case vbAbort: return QStringLiteral("Abort");
    case vbRetry: return QStringLiteral("Retry");
    case vbIgnore: return QStringLiteral("Ignore");
    case vbYes: return QStringLiteral("Yes");
    case vbNo: return QStringLiteral("No");
    default: return QString::number(iAnswer);
    }
}

std::string boxName(const MsgBoxCall& iCall) {
    QStringList buttons;
    for (int a : iCall.answers) buttons << answerName(a);
    return "message box \"" + iCall.prompt.toStdString() + "\" (" + iCall.title.toStdString() + "; " +
           buttons.join(QStringLiteral(", ")).toStdString() + ")";
}

// The answer a box gets with nobody to choose: its default button, Abort
// where that is Retry (Retry would run the failing step for ever).
int defaultAnswerUnattended(const MsgBoxCall& iCall) {
    return iCall.defaultAnswer == vbRetry ? int(vbAbort) : iCall.defaultAnswer;
}

bool isErrorBox(const MsgBoxCall& iCall) { return iCall.answers == QList<int>{vbAbort, vbRetry, vbIgnore}; }
bool isBugReportOffer(const MsgBoxCall& iCall) {
    return iCall.prompt == QLatin1String("Would you like to email Pelmo a bug report?");
}
}

void StationTest::allowErrors(const QStringList& iExpected, bool ibMustCome) {
    EXPECT_FALSE(iExpected.isEmpty()) << "allowErrors() names no error";
    for (const QString& e : iExpected) {
        mAllowedErrors << e;
        mAllowedErrorsMet << !ibMustCome;
    }
}

int StationTest::onBox(const MsgBoxCall& iCall) {
    mBoxes << iCall;
    mShown << QStringLiteral("box ") + iCall.prompt;
    const bool afterAllowedError = mLastBoxAnAllowedError;
    mLastBoxAnAllowedError = false;
    const bool answerNext = !mExpected.empty() && mExpected.front().answer != 0;
    const int next = answerNext ? mExpected.front().answer : 0;
    const auto take = [&] {
        const Expected e = mExpected.front();
        mExpected.pop_front();
        if (e.look) e.look(iCall);
        return e.answer;
    };

    // A notice takes a queued OK, and lets any other answer wait for its own
    // box; a warning or an error the script does not expect (with an OK, or
    // as an error it allows) fails the test.
    if (iCall.answers == QList<int>{vbOK}) {
        if (next == vbOK) return take();
        bool allowed = false;
        for (const QString& e : mAllowedErrors) allowed = allowed || iCall.prompt.contains(e);
        if ((iCall.icon == vbExclamation || iCall.icon == vbCritical) && !allowed) {
            std::string why = " shown but not expected";
            if (answerNext) why += " while the answer " + answerName(next).toStdString() + " for another box was next";
            else if (!mExpected.empty()) why += " while the window " + mExpected.front().window + " was next";
            ADD_FAILURE() << boxName(iCall) << why;
        }
        return vbOK;
    }

    // A refusal of a busy machine's sound card: the operator tries again.
    if (isErrorBox(iCall) && !iCall.answers.contains(next) && mRetriesLeft > 0) {
        for (const QString& t : mRetryTexts) {
            if (!iCall.prompt.contains(t)) continue;
            --mRetriesLeft;
            return vbRetry;
        }
    }
    // An error the test drives the station into: its default button, unless
    // the script answers it, and then the script answers its bug-report offer too.
    if (isErrorBox(iCall)) {
        bool allowed = false;
        for (qsizetype i = 0; i < mAllowedErrors.size(); ++i) {
            if (!iCall.prompt.contains(mAllowedErrors.at(i))) continue;
            mAllowedErrorsMet[i] = true;
            allowed = true;
        }
        if (allowed && !iCall.answers.contains(next)) {
            mLastBoxAnAllowedError = true;
            return defaultAnswerUnattended(iCall);
        }
    }
    // A test that allows an error sends no bug report for it.
    if (afterAllowedError && isBugReportOffer(iCall)) return vbNo;

    if (!answerNext)
        return unexpectedBox(iCall, mExpected.empty()
                                        ? std::string(" shown but not expected")
                                        : " shown but not expected while the window " + mExpected.front().window +
                                              " was next");
    if (!iCall.answers.contains(next)) {
        mExpected.pop_front();
        return unexpectedBox(iCall,
                             " shown and answered " + answerName(next).toStdString() + ", which it does not offer");
    }
    return take();
}

// A box the script does not answer fails the test; it still gets an answer so
// that the station goes on.
int StationTest::unexpectedBox(const MsgBoxCall& iCall, const std::string& iWhat) {
    ADD_FAILURE() << boxName(iCall) << iWhat;
    return defaultAnswerUnattended(iCall);
}

void StationTest::onModal(QWidget& ioWindow) {
    const QString name = ioWindow.objectName();
    mModals << name;
    mShown << QStringLiteral("window ") + name;
    mLastBoxAnAllowedError = false;
    if (mExpected.empty()) {
        ADD_FAILURE() << "modal window " << name.toStdString() << " shown but not expected";
    } else if (mExpected.front().answer != 0) {
        ADD_FAILURE() << "modal window " << name.toStdString() << " shown while the answer "
                      << answerName(mExpected.front().answer).toStdString() << " for a message box was next";
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

void StationTest::endOfScript() {
    if (mScriptEnded) return;
    mScriptEnded = true;
    for (const Expected& e : mExpected) {
        if (e.answer == 0) ADD_FAILURE() << "modal window " << e.window << " was expected but never shown";
        else
            ADD_FAILURE() << "the answer " << answerName(e.answer).toStdString()
                          << " was queued for a message box that never came";
    }
    mExpected.clear();
    for (qsizetype i = 0; i < mAllowedErrors.size(); ++i)
        if (!mAllowedErrorsMet.at(i))
            ADD_FAILURE() << "an error box holding \"" << mAllowedErrors.at(i).toStdString()
                          << "\" was allowed for but never shown";
}

void StationTest::TearDown() {
    endOfScript();
    // What a rig queued for its own closing may be left.
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

FileSizeLimit::FileSizeLimit(qint64 iBytes) {
    rlimit limit = {};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) {
        ADD_FAILURE() << "the file-size limit cannot be read";
        return;
    }
    mOldSoft = static_cast<quint64>(limit.rlim_cur);
    mOldSignal = reinterpret_cast<void*>(std::signal(SIGXFSZ, SIG_IGN));
    limit.rlim_cur = static_cast<rlim_t>(iBytes);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        std::signal(SIGXFSZ, reinterpret_cast<void (*)(int)>(mOldSignal));
        ADD_FAILURE() << "the file-size limit cannot be set";
        return;
    }
    mSet = true;
}

void FileSizeLimit::lift() {
    if (!mSet) return;
    mSet = false;
    rlimit limit = {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(mOldSoft);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ADD_FAILURE() << "the file-size limit cannot be restored";
    std::signal(SIGXFSZ, reinterpret_cast<void (*)(int)>(mOldSignal));
}

QStringList filesStartingWith(const QString& iFolder, const QString& iPrefix) {
    QStringList out;
    for (const QString& name : QDir(iFolder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (name.startsWith(iPrefix)) out << name;
    return out;
}
