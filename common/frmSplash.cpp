#include "common/frmSplash.h"
#include "common/ErrorTrap.h"
#include "common/modErrorHandler.h"
#include "common/modGeneral.h"
#include "platform/os/AppInfo.h"
#include "platform/ui/Twips.h"
#include <QLabel>
#include <QStyle>

frmSplash::frmSplash() : Form(QStringLiteral("frmSplash")) {
    // No title bar: the splash is a picture, not a window to work with.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setClientSize(5400, 3030);
    setKeyPreview(true);
    fra1 = new Frame(this, QStringLiteral("fra1"), 120, 60, 5160, 2880, QStringLiteral(""));

    imgLogo = new QLabel(fra1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(twips::toPixels(240), twips::toPixels(300), twips::toPixels(1200), twips::toPixels(1200));
    imgLogo->setPixmap(style()->standardIcon(QStyle::SP_MediaVolume).pixmap(twips::toPixels(1200)));
    imgLogo->setScaledContents(true);

    lblProductName = new Label(fra1, QStringLiteral("lblProductName"), 1680, 300, 3300, 480, QStringLiteral(""));
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    lblProductName->setFont(big);
    lblCopyright = new Label(fra1, QStringLiteral("lblCopyright"), 1680, 900, 3300, 285, QStringLiteral(""));
    lblComments = new Label(fra1, QStringLiteral("lblComments"), 1680, 1260, 3300, 570, QStringLiteral(""));
    lblWarning = new Label(fra1, QStringLiteral("lblWarning"), 240, 2040, 4680, 570,
                           QStringLiteral("Warning: This programme may be harmful to management consultants and accountants"));

    Load = [this] { Form_Load(); };
    KeyPress = [this](int16_t& KeyAscii) { Form_KeyPress(KeyAscii); };
}

void frmSplash::Form_Load() {
    bool bError = false;
    ErrorTrap trap("frmSplash", "Form_Load", bError);
    // Everything that shows the product and version reads it from here on.
    if (!trap(10, [&] { gsProductNameVersion = appinfo::productName() + QLatin1Char(' ') + gsVersion(); })) return;
    if (!trap(20, [&] {
            lblProductName->setCaption(gsProductNameVersion);
            lblCopyright->setCaption(QStringLiteral("(c) ") + appinfo::legalCopyright());
            lblComments->setCaption(appinfo::comments());
        }))
        return;
    trap(30, [&] {
        Move((twips::screenWidth() - Width()) / 2, (twips::screenHeight() - Height()) / 2);
        Show();
        Refresh();
    });
}

void frmSplash::Form_KeyPress(int16_t& KeyAscii) {
    Q_UNUSED(KeyAscii);
    UnloadMe();
}
