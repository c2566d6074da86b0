#include "common/modEMail.h"
#include "common/modErrorHandler.h"
#include "common/modGeneral.h"
#include "platform/os/AppInfo.h"
#include "platform/os/Mail.h"
#include "platform/os/Settings.h"
#include "platform/ui/MsgBox.h"

QString gsEMailRecipient(const QString& isKind) {
    const QString fallback = isKind.isEmpty()
                                 ? QStringLiteral("vexo@pelmo.example")
                                 : QStringLiteral("vexo-%1@pelmo.example").arg(isKind.toLower());
    return userSetting(QStringLiteral("EMail") + isKind, fallback);
}

void gEMailSend(const QString& isKind, const QString& isSubject, const QString& isBody) {
    const QString subject = isSubject + QLatin1Char(' ') + appinfo::productName() + QLatin1Char(' ') + gsVersion();
    QString reason;
    if (!sendMailMessage(gsEMailRecipient(isKind), subject, isBody, reason))
        gMsgBox(QStringLiteral("Error occurred sending email"), vbExclamation, gsMainCaption);
}
