#pragma once
// The demo station on the jig in virtual time, for the benchmarks that drive
// the operator's window: the calibration's questions answered Yes (a
// calibration accepted), every other window closed as it opens, printing into
// a file; any other box ends the benchmark (see BenchBoxes.h).
#include "bench/BenchBoxes.h"
#include "platform/os/Clock.h"
#include "platform/os/Settings.h"
#include "platform/sound/Jig.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "station/DemoStation.h"
#include "station/frmVexo.h"
#include <QTemporaryDir>

namespace benchstation {

// Builds the station once per process and shows its main window.
inline frmVexo& demoStationOnJig() {
    static QTemporaryDir sHome;
    static QTemporaryDir sSettings;
    static frmVexo* sForm = [] {
        qputenv("VEXO_HOME", sHome.path().toLocal8Bit());
        settingsstore::setFolder(sSettings.path());
        vclock::setVirtual(QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0)));
        sound::setBackend(std::make_unique<sound::JigBackend>());
        demostation::build(sHome.path());
        benchboxes::printToFile(sHome.path());
        benchboxes::answer([](const MsgBoxCall& iCall) -> std::optional<int> {
            if (iCall.title.startsWith(QLatin1String("Calibration")) && iCall.answers.contains(vbYes)) return int(vbYes);
            return std::nullopt;
        });
        setModalScript([](QWidget& w) { w.close(); });
        return &form<frmVexo>();
    }();
    return *sForm;
}

}
