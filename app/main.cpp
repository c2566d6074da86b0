#include "platform/ui/FormRegistry.h"
#include "station/frmVexo.h"
#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(true);
    frmVexo& main = form<frmVexo>();
    if (!main.Form_Load()) {
        unload<frmVexo>();
        return 0;
    }
    main.show();
    const int rc = QApplication::exec();
    unload<frmVexo>();
    return rc;
}
