#pragma once
// Does a window fit its texts? Every visible control's caption or text must fit
// inside it at its own font, and no two visible controls may overlap unless one
// holds the other. Each finding names the window and the control.
#include "platform/ui/CheckBox.h"
#include "platform/ui/CommandButton.h"
#include "platform/ui/DrawSurface.h"
#include "platform/ui/Form.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Control.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Label.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/TextBox.h"
#include <QFontMetrics>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QWidget>

namespace windowfit {

// A caption as shown: "&" marks the access key, "&&" shows one "&".
inline QString shownText(const QString& iCaption) {
    QString out;
    for (qsizetype i = 0; i < iCaption.size(); ++i) {
        if (iCaption.at(i) == QLatin1Char('&')) {
            if (i + 1 < iCaption.size() && iCaption.at(i + 1) == QLatin1Char('&')) out += QLatin1Char('&');
            if (i + 1 < iCaption.size()) ++i;
            else continue;
            if (iCaption.at(i) != QLatin1Char('&')) out += iCaption.at(i);
            continue;
        }
        out += iCaption.at(i);
    }
    return out;
}

inline QString where(const QWidget& iWindow, const Control& iControl) {
    QString name = iControl.Name();
    if (iControl.Index() >= 0) name += QStringLiteral("(%1)").arg(iControl.Index());
    return iWindow.objectName() + QLatin1Char('.') + name;
}

// Widest line of a text in a font, in pixels.
inline int widest(const QFontMetrics& iFm, const QString& iText) {
    int w = 0;
    for (const QString& line : iText.split(QLatin1Char('\n'))) w = std::max(w, iFm.horizontalAdvance(line));
    return w;
}

// What does not fit in one control; empty when it fits.
inline QString textProblem(QWidget& iWidget) {
    const QFontMetrics fm(iWidget.font());
    const QRect r = iWidget.contentsRect();
    auto tooSmall = [](const QString& iText, int iNeedW, int iHaveW, int iNeedH, int iHaveH) {
        return QStringLiteral("\"%1\" needs %2 x %3 px, has %4 x %5").arg(iText).arg(iNeedW).arg(iNeedH).arg(iHaveW).arg(iHaveH);
    };
    if (auto* l = qobject_cast<Label*>(&iWidget)) {
        const QString t = l->UseMnemonic() ? shownText(l->Caption()) : l->Caption();
        if (t.trimmed().isEmpty()) return {};
        // Words wrap at blanks: no word may be wider than the label, and the
        // wrapped lines must fit its height.
        int word = 0;
        for (const QString& w : t.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            word = std::max(word, fm.horizontalAdvance(w));
        const int h = fm.boundingRect(QRect(0, 0, r.width(), 100000), Qt::TextWordWrap, t).height();
        if (word > r.width() || h > r.height()) return tooSmall(t, word, r.width(), h, r.height());
        return {};
    }
    if (auto* b = qobject_cast<CommandButton*>(&iWidget)) {
        const QString t = shownText(b->text());
        if (t.isEmpty()) return {};
        const int margin = 2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) / 2 + 4;
        const int needW = widest(fm, t) + margin;
        const int needH = fm.height() * int(t.count(QLatin1Char('\n')) + 1) + 4;
        if (needW > b->width() || needH > b->height()) return tooSmall(t, needW, b->width(), needH, b->height());
        return {};
    }
    if (qobject_cast<CheckBox*>(&iWidget) || qobject_cast<OptionButton*>(&iWidget)) {
        auto* b = static_cast<QAbstractButton*>(&iWidget);
        const QString t = shownText(b->text());
        if (t.isEmpty()) return {};
        const bool check = qobject_cast<CheckBox*>(&iWidget) != nullptr;
        const int indicator = b->style()->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth, nullptr, b);
        const int spacing = b->style()->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing, nullptr, b);
        const int needW = indicator + spacing + widest(fm, t);
        const int needH = fm.height();
        if (needW > b->width() || needH > b->height()) return tooSmall(t, needW, b->width(), needH, b->height());
        return {};
    }
    if (auto* f = qobject_cast<Frame*>(&iWidget)) {
        const QString t = shownText(f->Caption());
        if (t.isEmpty()) return {};
        const int needW = fm.horizontalAdvance(t) + 16;
        if (needW > f->width()) return tooSmall(t, needW, f->width(), fm.height(), f->height());
        return {};
    }
    if (auto* box = qobject_cast<TextBox*>(&iWidget)) {
        if (box->MultiLine()) return {};
        auto* edit = qobject_cast<QLineEdit*>(box->keyTarget());
        if (!edit) return {};
        // A number must show whole; a longer text (a file path) scrolls in its box.
        const QString t = box->Text();
        bool number = false;
        t.trimmed().toDouble(&number);
        const QFontMetrics efm(edit->font());
        const QRect cr = edit->contentsRect();
        const int needW = number ? efm.horizontalAdvance(t) + 4 : 0;
        const int needH = efm.height();
        if (needW > cr.width() || needH > cr.height()) return tooSmall(t, needW, cr.width(), needH, cr.height());
        return {};
    }
    if (auto* c = qobject_cast<ComboBox*>(&iWidget)) {
        const int needH = fm.height() + 4;
        if (needH > c->height()) return tooSmall(c->currentText(), 0, c->width(), needH, c->height());
        return {};
    }
    return {};
}

// The findings for a window as it stands: texts that do not fit, then overlaps.
inline QStringList check(QWidget& iWindow) {
    QStringList out;
    QList<QPair<Control*, QRect>> shown;
    for (QWidget* w : iWindow.findChildren<QWidget*>()) {
        Control* c = Control::of(w);
        if (!c || c->widget() != w || !w->isVisibleTo(&iWindow)) continue;
        const QString problem = textProblem(*w);
        if (!problem.isEmpty()) out << where(iWindow, *c) + QStringLiteral(": ") + problem;
        shown << qMakePair(c, QRect(w->mapTo(&iWindow, QPoint(0, 0)), w->size()));
    }
    // What the window printed on itself (axis numbers, notes) lies under its
    // controls: no visible control may cover it.
    if (auto* form = qobject_cast<Form*>(&iWindow); form && formSurface(*form).opLogOn()) {
        DrawSurface& surface = formSurface(*form);
        QList<DrawOp> printed;
        for (const DrawOp& op : surface.ops()) {
            if (op.kind == DrawOpKind::Cls) printed.clear();
            if (op.kind == DrawOpKind::Text && !op.text.trimmed().isEmpty()) printed << op;
        }
        const QPoint client = form->client()->mapTo(&iWindow, QPoint(0, 0));
        for (const DrawOp& op : printed) {
            const QRect text(client + QPoint(DrawSurface::toPixel(op.x1), DrawSurface::toPixel(op.y1)),
                             QSize(DrawSurface::toPixel(surface.TextWidth(op.text)),
                                   DrawSurface::toPixel(surface.TextHeight(op.text))));
            for (const auto& c : std::as_const(shown)) {
                if (!c.second.intersects(text)) continue;
                // Only a control that shows something covers the text.
                if (auto* l = qobject_cast<Label*>(c.first->widget()); l && l->Caption().trimmed().isEmpty()) continue;
                out << where(iWindow, *c.first) + QStringLiteral(" covers the printed \"") + op.text + QLatin1Char('"');
            }
        }
    }
    for (qsizetype i = 0; i < shown.size(); ++i) {
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            QWidget* a = shown[i].first->widget();
            QWidget* b = shown[j].first->widget();
            if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
            if (shown[i].second.intersects(shown[j].second))
                out << where(iWindow, *shown[i].first) + QStringLiteral(" overlaps ") +
                           shown[j].first->Name() + QStringLiteral(" by ") +
                           QStringLiteral("%1 x %2 px")
                               .arg(shown[i].second.intersected(shown[j].second).width())
                               .arg(shown[i].second.intersected(shown[j].second).height());
        }
    }
    return out;
}

}
