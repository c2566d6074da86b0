#pragma once
#include "platform/data/BoundControl.h"
#include "platform/ui/Control.h"
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

// A text box: one line (a QLineEdit inside) or several (MultiLine, a
// QPlainTextEdit inside). Text of a multi-line box is given out with CR LF line
// ends and taken with CR LF, CR or LF. MaxLength limits typing (0: no limit),
// PasswordChar shows every character as the given one, Locked makes it read-only.
// Alignment 0 left, 1 right, 2 centre; BorderStyle 1 (a frame, the default) or 0.
// Change runs on every change of the text, by the user or by code. Bound to a
// data control (setDataSource, setDataField) it shows the current record's field
// and its edits are written when the data control moves.
class TextBox : public QWidget, public Control, public BoundControl {
    Q_OBJECT
public:
    TextBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth, int32_t iHeight,
            bool iMultiLine = false);

    QString Text() const;
    void setText(const QString& iText);
    bool MultiLine() const { return mMulti != nullptr; }
    int32_t MaxLength() const { return mMaxLength; }
    void setMaxLength(int32_t iLength);
    QString PasswordChar() const { return mPasswordChar; }
    void setPasswordChar(const QString& iChar);
    // The character that stands for each character of the text wherever it is
    // shown outside the box (a printed window): the last password character the
    // box was given, kept while a window shows the text in clear for editing.
    // Empty for a box that never had one.
    QString PasswordRoleChar() const { return mPasswordRoleChar; }
    int16_t Alignment() const { return mAlignment; }
    void setAlignment(int16_t iAlignment);
    int16_t BorderStyle() const { return mBorderStyle; }
    void setBorderStyle(int16_t iStyle);
    bool Locked() const;
    void setLocked(bool iLocked);
    int32_t ForeColor() const;
    void setForeColor(int32_t iColor);
    int32_t BackColor() const;
    void setBackColor(int32_t iColor);
    // Caret and selection, in characters of Text (a line end counts two).
    int32_t SelStart() const;
    void setSelStart(int32_t iStart);
    int32_t SelLength() const;
    void setSelLength(int32_t iLength);
    QString SelText() const;

    QWidget* keyTarget() const override;
    // The Qt editor inside (one of the two is null).
    QLineEdit* lineEditor() const { return mLine; }
    QPlainTextEdit* multiEditor() const { return mMulti; }

    std::function<void()> Change;
    // A left double-click in the box.
    std::function<void()> DblClick;

    Variant boundValue() const override;
    void setBoundValue(const Variant& iValue) override;

protected:
    void resizeEvent(QResizeEvent* iEvent) override;
    bool eventFilter(QObject* iObject, QEvent* iEvent) override;

private:
    void textChanged();
    QString plain() const;
    int32_t toTextPos(int iEditorPos) const;
    int toEditorPos(int32_t iTextPos) const;

    QLineEdit* mLine = nullptr;
    QPlainTextEdit* mMulti = nullptr;
    int32_t mMaxLength = 0;
    QString mPasswordChar;
    QString mPasswordRoleChar;
    int16_t mAlignment = 0;
    int16_t mBorderStyle = 1;
    QString mLast;
};
