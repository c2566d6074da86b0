#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(true);
    // The main window's load step starts the station, and ends the program when
    // another copy is running.
    frmVexo& main = form<frmVexo>();
    if (Form::programEnding()) {
        unload<frmVexo>();
        return 0;
    }
    main.Show();
    const int rc = QApplication::exec();
    unload<frmVexo>();
    return rc;
}
