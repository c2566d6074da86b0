#include "platform/os/Shell.h"
#include <QDesktopServices>
#include <QFileInfo>

namespace {
std::function<bool(const QUrl&)>& handler() { static std::function<bool(const QUrl&)> h; return h; }
}

void setShellOpenHandler(std::function<bool(const QUrl&)> iHandler) { handler() = std::move(iHandler); }

int shellOpen(const QString& iTarget) {
    QUrl url = QUrl::fromUserInput(iTarget);
    const bool isWeb = iTarget.startsWith(QLatin1String("http:")) || iTarget.startsWith(QLatin1String("https:")) ||
                       iTarget.startsWith(QLatin1String("mailto:"));
    if (!isWeb) {
        if (!QFileInfo::exists(iTarget)) return kShellFileNotFound;
        url = QUrl::fromLocalFile(QFileInfo(iTarget).absoluteFilePath());
    }
    const bool ok = handler() ? handler()(url) : QDesktopServices::openUrl(url);
    return ok ? kShellOk : kShellNoAssociation;
}
