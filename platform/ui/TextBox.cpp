#include "platform/ui/TextBox.h"
#include "platform/ui/Color.h"
#include "platform/vb/Conversions.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QValidator>
#include <algorithm>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

// The editors take every key they are given: keys are the text box's, and an
// ignored key would travel on to the window (Enter to a default button).
class BoxLine : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* iEvent) override {
        QLineEdit::keyPressEvent(iEvent);
        iEvent->accept();
    }
    void keyReleaseEvent(QKeyEvent* iEvent) override {
        QLineEdit::keyReleaseEvent(iEvent);
        iEvent->accept();
    }
};

class BoxMulti : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* iEvent) override {
        QPlainTextEdit::keyPressEvent(iEvent);
        iEvent->accept();
    }
    void keyReleaseEvent(QKeyEvent* iEvent) override {
        QPlainTextEdit::keyReleaseEvent(iEvent);
        iEvent->accept();
    }
};

// MaxLength of a one-line box: typing and pasting stop at the limit; text set
// by code is taken whole, so that a stored value longer than the limit is
// shown and saved back unchanged.
class LengthLimit : public QValidator {
public:
    explicit LengthLimit(QObject* iParent) : QValidator(iParent) {}
    int32_t max = 0;
    State validate(QString& ioInput, int&) const override {
        return max > 0 && ioInput.size() > max ? Invalid : Acceptable;
    }
};

QString normaliseLineEnds(const QString& iText) {
    QString t = iText;
    t.replace(kCrLf, QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
}

TextBox::TextBox(QWidget* iContainer, const QString& iName, int32_t iLeft, int32_t iTop, int32_t iWidth,
                 int32_t iHeight, bool iMultiLine)
    : QWidget(Control::qtParent(iContainer)), Control(this, this, iContainer, iName, "TextBox", true) {
    QWidget* editor = nullptr;
    if (iMultiLine) {
        mMulti = new BoxMulti(this);
        mMulti->setTabChangesFocus(true);
        mMulti->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        mMulti->viewport()->installEventFilter(this);
        connect(mMulti, &QPlainTextEdit::textChanged, this, [this] { textChanged(); });
        editor = mMulti;
    } else {
        mLine = new BoxLine(this);
        mLine->setValidator(new LengthLimit(mLine));
        mLine->installEventFilter(this);
        connect(mLine, &QLineEdit::textChanged, this, [this] { textChanged(); });
        editor = mLine;
    }
    editor->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(editor);
    Move(iLeft, iTop, iWidth, iHeight);
}

void TextBox::resizeEvent(QResizeEvent* iEvent) {
    QWidget::resizeEvent(iEvent);
    keyTarget()->setGeometry(rect());
}

QWidget* TextBox::keyTarget() const { return mLine ? static_cast<QWidget*>(mLine) : static_cast<QWidget*>(mMulti); }

QString TextBox::plain() const { return mLine ? mLine->text() : mMulti->toPlainText(); }

QString TextBox::Text() const {
    if (mLine) return mLine->text();
    QString t = mMulti->toPlainText();
    t.replace(QLatin1Char('\n'), kCrLf);
    return t;
}

void TextBox::setText(const QString& iText) {
    if (mLine) {
        mLine->setText(iText);
        return;
    }
    const QString t = normaliseLineEnds(iText);
    if (t != mMulti->toPlainText()) mMulti->setPlainText(t);
}

void TextBox::textChanged() {
    QString now = plain();
    if (mMulti && mMaxLength > 0) {
        // A multi-line box counts a line end as two characters, as Text gives it out.
        const int32_t over = static_cast<int32_t>(Text().size()) - mMaxLength;
        if (over > 0 && now.size() > mLast.size()) {
            QTextCursor cur = mMulti->textCursor();
            const int pos = cur.position();
            const int cut = std::min<int>(over, pos);
            cur.setPosition(pos - cut);
            cur.setPosition(pos, QTextCursor::KeepAnchor);
            cur.removeSelectedText();
            return;   // the removal runs this again
        }
    }
    if (now == mLast) return;
    mLast = now;
    setDataChanged(true);
    raiseEvent("Change", Change);
}

void TextBox::setMaxLength(int32_t iLength) {
    mMaxLength = std::max<int32_t>(0, iLength);
    if (mLine) static_cast<LengthLimit*>(const_cast<QValidator*>(mLine->validator()))->max = mMaxLength;
}

void TextBox::setPasswordChar(const QString& iChar) {
    mPasswordChar = iChar.left(1);
    if (!mPasswordChar.isEmpty()) mPasswordRoleChar = mPasswordChar;
    if (!mLine) return;
    if (mPasswordChar.isEmpty()) {
        mLine->setEchoMode(QLineEdit::Normal);
        mLine->setStyleSheet(QString());
    } else {
        mLine->setEchoMode(QLineEdit::Password);
        mLine->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: %1; }")
                                 .arg(mPasswordChar.at(0).unicode()));
    }
}

void TextBox::setAlignment(int16_t iAlignment) {
    mAlignment = iAlignment;
    const Qt::Alignment h = iAlignment == 1 ? Qt::AlignRight : iAlignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    if (mLine) {
        mLine->setAlignment(h | Qt::AlignVCenter);
        return;
    }
    QTextOption option = mMulti->document()->defaultTextOption();
    option.setAlignment(h);
    mMulti->document()->setDefaultTextOption(option);
}

void TextBox::setBorderStyle(int16_t iStyle) {
    mBorderStyle = iStyle == 0 ? 0 : 1;
    if (mLine) mLine->setFrame(mBorderStyle != 0);
    else mMulti->setFrameShape(mBorderStyle ? QFrame::StyledPanel : QFrame::NoFrame);
}

bool TextBox::Locked() const { return mLine ? mLine->isReadOnly() : mMulti->isReadOnly(); }
void TextBox::setLocked(bool iLocked) {
    if (mLine) mLine->setReadOnly(iLocked);
    else mMulti->setReadOnly(iLocked);
}

Variant TextBox::boundValue() const { return Variant(Text()); }
void TextBox::setBoundValue(const Variant& iValue) { setText(iValue.isNull() ? QString() : CStr(iValue)); }

int32_t TextBox::ForeColor() const { return vbcolor::fromQColor(keyTarget()->palette().color(QPalette::Text)); }
void TextBox::setForeColor(int32_t iColor) {
    QWidget* e = keyTarget();
    QPalette p = e->palette();
    p.setColor(QPalette::Text, vbcolor::toQColor(iColor));
    e->setPalette(p);
}

int32_t TextBox::BackColor() const { return vbcolor::fromQColor(keyTarget()->palette().color(QPalette::Base)); }
void TextBox::setBackColor(int32_t iColor) {
    QWidget* e = keyTarget();
    QPalette p = e->palette();
    p.setColor(QPalette::Base, vbcolor::toQColor(iColor));
    e->setPalette(p);
}

int32_t TextBox::toTextPos(int iEditorPos) const {
    if (mLine) return iEditorPos;
    const QString t = mMulti->toPlainText();
    return iEditorPos + static_cast<int32_t>(t.left(iEditorPos).count(QLatin1Char('\n')));
}

int TextBox::toEditorPos(int32_t iTextPos) const {
    if (mLine) return std::clamp<int>(iTextPos, 0, static_cast<int>(mLine->text().size()));
    const QString t = mMulti->toPlainText();
    int32_t textPos = 0;
    int i = 0;
    for (; i < t.size() && textPos < iTextPos; ++i) textPos += t.at(i) == QLatin1Char('\n') ? 2 : 1;
    return i;
}

int32_t TextBox::SelStart() const {
    if (mLine) return mLine->hasSelectedText() ? mLine->selectionStart() : mLine->cursorPosition();
    return toTextPos(mMulti->textCursor().selectionStart());
}

void TextBox::setSelStart(int32_t iStart) {
    if (mLine) {
        mLine->deselect();
        mLine->setCursorPosition(toEditorPos(iStart));
        return;
    }
    QTextCursor c = mMulti->textCursor();
    c.setPosition(toEditorPos(iStart));
    mMulti->setTextCursor(c);
}

int32_t TextBox::SelLength() const {
    if (mLine) return static_cast<int32_t>(mLine->selectedText().size());
    const QTextCursor c = mMulti->textCursor();
    return toTextPos(c.selectionEnd()) - toTextPos(c.selectionStart());
}

void TextBox::setSelLength(int32_t iLength) {
    const int32_t start = SelStart();
    if (mLine) {
        mLine->setSelection(toEditorPos(start), toEditorPos(start + iLength) - toEditorPos(start));
        return;
    }
    QTextCursor c = mMulti->textCursor();
    c.setPosition(toEditorPos(start));
    c.setPosition(toEditorPos(start + iLength), QTextCursor::KeepAnchor);
    mMulti->setTextCursor(c);
}

QString TextBox::SelText() const {
    if (mLine) return mLine->selectedText();
    QString t = mMulti->textCursor().selectedText();
    t.replace(QChar::ParagraphSeparator, kCrLf);
    return t;
}

bool TextBox::eventFilter(QObject* iObject, QEvent* iEvent) {
    if (iEvent->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent*>(iEvent)->button() == Qt::LeftButton &&
        (iObject == mLine || (mMulti && iObject == mMulti->viewport())))
        raiseEvent("DblClick", DblClick);
    return QWidget::eventFilter(iObject, iEvent);
}
