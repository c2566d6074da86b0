#include "common/modErrorHandler.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/TerminationSignals.h"
#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(true);
    // What the single-copy guard has to say (no lock can be made) goes to the error log.
    SingleInstance::setNoticeSink([](const QString& iText) { gErrorLogNote(iText); });
    // A shutdown of the machine closes the main window as a user would, so
    // that its unload step saves what it saves; one that comes while the
    // window is still loading closes it once it is shown.
    bool shown = false;
    bool closeWhenShown = false;
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::requested, &app, [&] {
        if (shown && isLoaded<frmVexo>()) form<frmVexo>().close();
        else closeWhenShown = true;
    });
    // The main window's load step starts the station, and ends the program when
    // another copy is running.
    frmVexo& main = form<frmVexo>();
    if (Form::programEnding()) {
        unload<frmVexo>();
        return 0;
    }
    main.Show();
    shown = true;
    if (closeWhenShown) main.close();
    const int rc = QApplication::exec();
    unload<frmVexo>();
    return rc;
}
