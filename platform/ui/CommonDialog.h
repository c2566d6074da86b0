#pragma once
#include "platform/ui/Control.h"
#include <QObject>
#include <QString>

class QFileDialog;

// A window's file browser (kind "CommonDialog"; it has no place on the window
// and printing leaves it out). DialogTitle, Filter ("text|pattern|text|pattern",
// patterns separated by ";"), FileName, InitDir and Flags are set before
// ShowOpen; ShowOpen shows a modal open dialog and, when a file is chosen,
// sets FileName to its full path; a folder given with "\" separators or in
// another letter case is found on disk. Cancel is no error: the
// file name stays as handed in. Flags: 4 hides the read-only box, 8 keeps the
// current folder, 0x1000 lets only existing files be chosen.
class CommonDialog : public QObject, public Control {
    Q_OBJECT
public:
    CommonDialog(QWidget* iContainer, const QString& iName);

    QString DialogTitle() const { return mTitle; }
    void setDialogTitle(const QString& iTitle) { mTitle = iTitle; }
    QString Filter() const { return mFilter; }
    void setFilter(const QString& iFilter) { mFilter = iFilter; }
    QString FileName() const { return mFileName; }
    void setFileName(const QString& iName) { mFileName = iName; }
    QString InitDir() const { return mInitDir; }
    void setInitDir(const QString& iDir) { mInitDir = iDir; }
    int32_t Flags() const { return mFlags; }
    void setFlags(int32_t iFlags) { mFlags = iFlags; }
    // 1-based index of the filter in force when the dialog opens.
    int16_t FilterIndex() const { return mFilterIndex; }
    void setFilterIndex(int16_t iIndex) { mFilterIndex = iIndex; }

    void ShowOpen();

    // The name filters Qt shows for a filter text ("All Files (*.*)|*.*" gives
    // "All Files (*.*) (*)", since "*.*" matches every name, one without a dot too).
    static QStringList qtFilters(const QString& iFilter);

private:
    QString mTitle;
    QString mFilter;
    QString mFileName;
    QString mInitDir;
    int32_t mFlags = 0;
    int16_t mFilterIndex = 1;
};
