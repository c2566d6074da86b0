#include "platform/vb/Locale.h"
#include <optional>

namespace {
std::optional<QLocale>& injected() {
    static std::optional<QLocale> sLocale;
    return sLocale;
}
}

namespace userlocale {
QLocale user() { return injected() ? *injected() : QLocale::system(); }
void setUser(const QLocale& iLocale) { injected() = iLocale; }
void resetUser() { injected().reset(); }
QString decimalChar() { return user().decimalPoint(); }
QString regionCode() {
    const QLocale loc = user();
    // The plain C locale (no LANG set) has no territory; Qt formats it as US English.
    if (loc.language() == QLocale::C || loc.territory() == QLocale::AnyTerritory) return QStringLiteral("US");
    return QLocale::territoryToCode(loc.territory());
}
QString shortDateFormat(const QLocale& iLocale) {
    QString f = iLocale.dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy"))) f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}
}
