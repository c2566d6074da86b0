#pragma once
// Message boxes and printing in a benchmark. A benchmark answers the boxes it
// expects; any other box is noted, answered with the button that stops the
// routine that asked (Abort, Cancel or No, else its default), and ends the
// benchmark with an error at the benchmark's next check, so that a box answered
// Retry for ever cannot hold a run. Printed documents and label jobs go to a
// file, so that no benchmark waits for a print server.
#include "platform/ui/MsgBox.h"
#include <QByteArray>
#include <QDir>
#include <QString>
#include <benchmark/benchmark.h>
#include <functional>
#include <optional>
#include <string>

namespace benchboxes {

// The answer to a box the benchmark expects; nothing for any other box.
using Expected = std::function<std::optional<int>(const MsgBoxCall&)>;

// The first box no benchmark expected, as "title: prompt"; empty while none came.
inline std::string& unexpected() {
    static std::string sText;
    return sText;
}

inline int stopAnswer(const MsgBoxCall& iCall) {
    for (int stop : {int(vbAbort), int(vbCancel), int(vbNo)})
        if (iCall.answers.contains(stop)) return stop;
    return iCall.defaultAnswer;
}

// Answers the expected boxes; once an unexpected one came, every box gets the
// answer that stops.
inline void answer(Expected iExpected) {
    setMsgBoxScript([iExpected = std::move(iExpected)](const MsgBoxCall& iCall) -> int {
        if (unexpected().empty()) {
            if (const std::optional<int> a = iExpected(iCall)) return *a;
            QString text = iCall.prompt;
            text.replace(QLatin1String("\r\n"), QLatin1String(" / "));
            unexpected() = (QStringLiteral("unexpected box '") + iCall.title + QStringLiteral("': ") + text).toStdString();
        }
        return stopAnswer(iCall);
    });
}

// No box is expected.
inline void answerNone() {
    answer([](const MsgBoxCall&) { return std::nullopt; });
}

// The notices of a station started without a sound card or its calibration,
// as the benchmarks that measure no sound start it: taken with their button.
inline std::optional<int> startUpNotice(const MsgBoxCall& iCall) {
    for (const char* notice : {"The soundboard has not been calibrated", "Wave output device not found",
                               "File 'Vexo_Sys.txt' does not exist"})
        if (iCall.prompt.startsWith(QLatin1String(notice))) return iCall.defaultAnswer;
    return std::nullopt;
}
inline void answerStartUpNotices() { answer(startUpNotice); }

// Ends the benchmark with the unexpected box when one came; true then (leave the loop).
inline bool ended(benchmark::State& ioState) {
    if (unexpected().empty()) return false;
    ioState.SkipWithError(unexpected().c_str());
    return true;
}

// Documents and label jobs into files of the given folder.
inline void printToFile(const QString& iFolder) {
    qputenv("VEXO_PRINT_TO", QDir(iFolder).filePath(QStringLiteral("printed.pdf")).toLocal8Bit());
}

}
