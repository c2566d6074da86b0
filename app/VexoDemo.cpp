// Makes the demo station in the program folder ($VEXO_HOME) when it has no
// sequence database yet; "--force" adds what is missing to an existing one.
#include "platform/os/AppInfo.h"
#include "platform/vb/VbError.h"
#include "station/DemoStation.h"
#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // No window is shown: the tool runs where no display is.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = appinfo::programFolder();
    const bool force = QApplication::arguments().contains(QStringLiteral("--force"));
    if (!force && !demostation::missing(folder)) return 0;
    try {
        demostation::build(folder);
    } catch (const VbError& e) {
        std::fprintf(stderr, "VexoDemo: %s\n", qPrintable(e.description));
        return 1;
    }
    std::printf("Demo station made in %s\n", qPrintable(folder));
    return 0;
}
