#include "platform/ui/CommonDialog.h"
#include "platform/ui/MsgBox.h"
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

namespace {
constexpr int32_t kHideReadOnly = 0x4;
constexpr int32_t kFileMustExist = 0x1000;

QString toQt(const QString& iPath) { return QString(iPath).replace(QLatin1Char('\\'), QLatin1Char('/')); }

// A folder named in any letter case: the one on disk whose name matches, step
// by step ("C:\Vexo\PROMPTS" finds ".../Prompts"); unmatched steps stay as given.
QString resolveFolder(const QString& iPath) {
    const QString path = toQt(iPath);
    if (path.isEmpty() || QFileInfo(path).isDir()) return path;
    const QStringList parts = path.split(QLatin1Char('/'));
    QString done = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (const QString& part : parts) {
        if (part.isEmpty()) continue;
        QString step = part;
        const QDir dir(done.isEmpty() ? QStringLiteral(".") : done);
        if (!QFileInfo(dir.filePath(part)).exists())
            for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    step = entry;
                    break;
                }
        done = done.isEmpty() ? step : (done.endsWith(QLatin1Char('/')) ? done + step : done + QLatin1Char('/') + step);
    }
    return done;
}
}

CommonDialog::CommonDialog(QWidget* iContainer, const QString& iName)
    : QObject(iContainer), Control(this, nullptr, iContainer, iName, "CommonDialog", false) {}

QStringList CommonDialog::qtFilters(const QString& iFilter) {
    QStringList out;
    const QStringList parts = iFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << (p.trimmed() == QStringLiteral("*.*") ? QStringLiteral("*") : p.trimmed());
        out << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

void CommonDialog::ShowOpen() {
    auto* parent = widget() ? widget() : qobject_cast<QWidget*>(QObject::parent());
    QPointer<QFileDialog> dialog = new QFileDialog(parent ? parent->window() : nullptr, mTitle);
    dialog->setObjectName(Name());
    // Our own dialog, not the desktop's, so that it is the same everywhere and tests can drive it.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setOption(QFileDialog::ReadOnly, false);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode((mFlags & kFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    Q_UNUSED(kHideReadOnly);   // the Qt dialog has no read-only box to hide
    const QStringList filters = qtFilters(mFilter);
    dialog->setNameFilters(filters);
    dialog->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs | QDir::CaseSensitive);
    // Patterns ignore the letter case, as the station's files do ("X.TXT" is a text file).
    dialog->setFilter(dialog->filter() & ~QDir::CaseSensitive);
    if (mFilterIndex >= 1 && mFilterIndex <= filters.size()) dialog->selectNameFilter(filters.at(mFilterIndex - 1));
    const QString folder = resolveFolder(mInitDir);
    if (!folder.isEmpty()) dialog->setDirectory(folder);
    if (!mFileName.isEmpty()) dialog->selectFile(QFileInfo(toQt(mFileName)).fileName());
    gShowModal(dialog);
    if (!dialog) return;
    if (dialog->result() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        mFileName = dialog->selectedFiles().constFirst();
    delete dialog;
}
