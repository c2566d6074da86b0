#include "station/StationProgram.h"
#include "common/modErrorHandler.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/TerminationSignals.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include <QApplication>
#include <QTimer>

namespace {
// How often a refused close is asked again while a command holds the window.
constexpr int kCloseRetryMs = 100;
}

int runStationProgram() {
    // The main window's unload ends the program, not the last window hidden: an
    // unload hides the window without closing it.
    QApplication::setQuitOnLastWindowClosed(false);
    // What the single-copy guard has to say (no lock can be made) goes to the error log.
    SingleInstance::setNoticeSink([](const QString& iText) { gErrorLogNote(iText); });

    bool shown = false;
    QTimer retry;
    retry.setInterval(kCloseRetryMs);
    // A shutdown closes the main window as a user would, so that its unload step
    // saves what it saves. While a command holds the window the close is refused;
    // the command sees the request and ends, and the close is asked again.
    const auto closeMain = [&] {
        if (!isLoaded<frmVexo>()) {
            retry.stop();
            QCoreApplication::exit(0);
            return;
        }
        if (!shown) return;   // asked again once the window is shown
        if (form<frmVexo>().close()) retry.stop();
        else if (!retry.isActive()) retry.start();
    };
    QObject::connect(&retry, &QTimer::timeout, closeMain);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::requested, closeMain);

    // The load step starts the station, and ends the program when another copy runs.
    frmVexo& main = form<frmVexo>();
    if (Form::programEnding()) {
        unload<frmVexo>();
        return 0;
    }
    QObject::connect(&main, &Form::unloaded, qApp, [] { QCoreApplication::exit(0); });
    main.Show();
    shown = true;
    if (termination::requested()) closeMain();
    const int rc = isLoaded<frmVexo>() ? QApplication::exec() : 0;
    retry.stop();
    unload<frmVexo>();
    // A window the main window's unload leaves open (the supervisor's) goes as its
    // own close would take it.
    for (Form* f : Form::loadedForms()) f->UnloadMe();
    return rc;
}
