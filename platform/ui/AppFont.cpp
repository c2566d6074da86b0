#include "platform/ui/AppFont.h"
#include <QApplication>
#include <QFontDatabase>

namespace {
bool sTried = false;
bool sInstalled = false;
const QString kFamily = QStringLiteral("MS Sans Serif");
}

QString appfont::fontFile() { return QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf"); }

QFont appfont::interfaceFont() {
    QFont f(kFamily);
    f.setPointSize(8);
    return f;
}

QFont appfont::resultFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(34);
    f.setBold(true);
    return f;
}

bool appfont::installed() { return sInstalled; }

void appfont::install() {
    if (sTried || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    sTried = true;
    const int id = QFontDatabase::addApplicationFont(fontFile());
    sInstalled = id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(kFamily);
    if (sInstalled) QApplication::setFont(interfaceFont());
}
