#include "common/modFormPrint.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "common/modStringParse.h"
#include "platform/os/Clock.h"
#include "platform/ui/Beep.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Color.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/Printer.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/VScrollBar.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Format.h"
#include "platform/vb/Strings.h"
#include <QScopeGuard>

namespace {
const char* kModule = "modFormPrint";
const QString kCrLf = QStringLiteral("\r\n");
const QString kWebLine = QStringLiteral("www.pelmo.example");
// Half the height of a scroll bar's printed thumb.
constexpr int32_t kThumbHalf = 50;

// Controls that mean nothing on paper.
bool leftOut(const QString& iKind) {
    static const QStringList kinds = {QStringLiteral("CommonDialog"), QStringLiteral("CommandButton"),
                                      QStringLiteral("Menu"),         QStringLiteral("UpDown"),
                                      QStringLiteral("Timer"),        QStringLiteral("SSTab")};
    return kinds.contains(iKind);
}

// Entries and free text print plain; captions and marks in bold.
bool printedBold(const QString& iKind) {
    return iKind != QLatin1String("TextBox") && iKind != QLatin1String("ComboBox") &&
           iKind != QLatin1String("VScrollBar");
}

QString withoutAmpersands(QString iCaption) {
    iCaption.remove(QLatin1Char('&'));
    return iCaption;
}

// A control's place on the page: its design place below the window's top
// (iYOffset), with its frame's or picture box's place added once.
void placeOf(const Control& iControl, int16_t iYOffset, int16_t& oX, int16_t& oY) {
    double x = iControl.Left();
    double y = static_cast<double>(iControl.Top()) + iYOffset;
    if (const Control* container = iControl.Container()) {
        x += container->Left();
        y += container->Top();
    }
    oX = CInt(x);
    oY = CInt(y);
}

void raiseLowest(int16_t& ioLowest, double iY) {
    if (iY > ioLowest) ioLowest = CInt(iY);
}

// An aborted print leaves nothing behind: no partial page now, and nothing that
// the next document would carry along.
void abandonDocument() { Printer.KillDoc(); }

void mCheckBoxOptionPrint(Control& ioControl, int16_t inX, int16_t inY, bool& obError) {
    ErrorTrap trap(kModule, "mCheckBoxOptionPrint", obError);
    trap(10, [&] {
        const auto* check = dynamic_cast<const CheckBox*>(&ioControl);
        const auto* option = dynamic_cast<const OptionButton*>(&ioControl);
        if (!check && !option) vbRaise(vberr::kTypeMismatch);
        const QString caption = withoutAmpersands(check ? check->Caption() : option->Caption());
        const bool marked = check ? check->Value() != vbUnchecked : option->Value();
        const int16_t alignment = check ? check->Alignment() : option->Alignment();
        const int32_t h = ioControl.Height();
        const int32_t r = h / 2;
        if (alignment == 0) {
            Printer.PrintNoLineEnd(!marked ? QStringLiteral("     ") : check ? QStringLiteral(" X  ") : QStringLiteral(" O  "));
            Printer.setFontBold(true);
            Printer.PrintNoLineEnd(caption);
            Printer.setFontBold(false);
            if (check) Printer.Line(inX, inY, inX + h, inY + h, vbcolor::vbBlack, LineStyle::Box);
            else Printer.Circle(inX + r, inY + r, r, vbcolor::vbBlack);
            return;
        }
        Printer.setFontBold(true);
        Printer.PrintNoLineEnd(caption);
        Printer.setFontBold(false);
        const int32_t xr = inX + ioControl.Width();
        if (check) Printer.Line(xr - h, inY, xr, inY + h, vbcolor::vbBlack, LineStyle::Box);
        else Printer.Circle(xr - r, inY + r, r, vbcolor::vbBlack);
        // From the square's lower right corner or the circle's centre.
        Printer.setCurrentX(Printer.CurrentX() - r);
        Printer.setCurrentY(Printer.CurrentY() - r);
        if (marked) Printer.PrintNoLineEnd(check ? QStringLiteral("X") : QStringLiteral("O"));
    });
}

void mListPrint(ListBox& ioList, int16_t inLineHeight, int16_t& ionLowest, bool& obError) {
    ErrorTrap trap(kModule, "mListPrint", obError);
    trap(10, [&] {
        const double x0 = Printer.CurrentX();
        const double y0 = Printer.CurrentY();
        for (int32_t i = 0; i < ioList.ListCount(); ++i) {
            Printer.setCurrentX(x0);
            Printer.setCurrentY(y0 + static_cast<double>(i) * inLineHeight);
            Printer.PrintNoLineEnd(ioList.List(i));
        }
        raiseLowest(ionLowest, Printer.CurrentY());
    });
}

void mTextPrint(Form& ioForm, int16_t inIndex, int16_t& ionLowest, bool& obError) {
    ErrorTrap trap(kModule, "mTextPrint", obError);
    TextBox* box = nullptr;
    QString text;
    if (!trap(10, [&] {
            box = dynamic_cast<TextBox*>(ioForm.Controls().value(inIndex));
            if (!box) vbRaise(vberr::kTypeMismatch);
            text = box->Text();
            // A password box prints masked whatever it shows at the moment (some
            // windows show the text in clear while it is being edited).
            const QString mask = box->PasswordRoleChar();
            if (!mask.isEmpty()) text = mask.repeated(text.size());
            if (box->Alignment() == 1) {
                // Measured in the printer's font, so that the text ends at the box's right edge.
                double x = box->Left() + box->Width() - Printer.TextWidth(text);
                if (const Control* container = box->Container()) x += container->Left();
                Printer.setCurrentX(x);
            }
        }))
        return;
    if (!trap(20, [&] {
            if (!text.contains(kCrLf)) {
                Printer.PrintNoLineEnd(text);
                return;
            }
            const double x = Printer.CurrentX();
            int16_t pos = 1;
            while (InStr(pos, text, kCrLf) > 0) {
                const QString line = gsStringParse(text, kCrLf, pos, obError);
                if (obError) return;
                Printer.setCurrentX(x);
                Printer.Print(line);
            }
            Printer.setCurrentX(x);
            Printer.Print(Mid(text, pos));
        }))
        return;
    if (obError) return;
    trap(30, [&] { raiseLowest(ionLowest, Printer.CurrentY()); });
}

// Placed like every other control (a bar in a frame prints in its frame); the
// thumb's place is the value's share of the bar's range, at the top when the
// range is empty.
void mVScrollBarPrint(VScrollBar& ioBar, int16_t inYOffset, int16_t& ionLowest, bool& obError) {
    ErrorTrap trap(kModule, "mVScrollBarPrint", obError);
    trap(10, [&] {
        int16_t x = 0;
        int16_t y = 0;
        placeOf(ioBar, inYOffset, x, y);
        const int32_t w = ioBar.Width();
        const int32_t h = ioBar.Height();
        Printer.Line(x, y, x + w, y + h, vbcolor::vbBlack, LineStyle::Box);
        raiseLowest(ionLowest, static_cast<double>(y) + h);
        const double range = static_cast<double>(ioBar.Max()) - ioBar.Min();
        const int32_t p = range == 0 ? 0 : CLng(h * (static_cast<double>(ioBar.Value()) - ioBar.Min()) / range);
        Printer.Line(x, y + p - kThumbHalf, x + w, y + p + kThumbHalf, vbcolor::vbBlack, LineStyle::BoxFilled);
    });
}
}

int16_t gnFormPrint(Form& ioForm, int16_t inYOffset, bool& obError) {
    ErrorTrap trap(kModule, "gnFormPrint", obError);
    // The printer's font is the caller's again however the printing ends.
    const QString keptName = Printer.FontName();
    const bool keptBold = Printer.FontBold();
    const auto restoreFont = qScopeGuard([&] {
        Printer.setFontName(keptName);
        Printer.setFontBold(keptBold);
    });
    int16_t lowest = 0;
    Printer.setFontName(QStringLiteral("Arial"));

    const QList<Control*> controls = ioForm.Controls();
    for (qsizetype i = 0; i < controls.size() && !obError; ++i) {
        Control& c = *controls.at(i);
        const QString kind = QString::fromLatin1(c.kind());
        if (leftOut(kind) || !c.Visible() || c.Left() <= 0) continue;
        trap(20, [&] {
            int16_t x = 0;
            int16_t y = 0;
            placeOf(c, inYOffset, x, y);
            Printer.setCurrentX(x);
            Printer.setCurrentY(y);
            raiseLowest(lowest, Printer.CurrentY());
            Printer.setFontBold(printedBold(kind));

            if (auto* label = dynamic_cast<Label*>(&c)) {
                Printer.PrintNoLineEnd(withoutAmpersands(label->Caption()));
                if (label->BorderStyle() != 0)
                    Printer.Line(x, y, x + c.Width(), y + c.Height(), vbcolor::vbBlack, LineStyle::Box);
            } else if (auto* combo = dynamic_cast<ComboBox*>(&c)) {   // also the data-bound combo
                Printer.PrintNoLineEnd(combo->Text());
            } else if (auto* list = dynamic_cast<ListBox*>(&c)) {
                // The printed lines are as high as the printer's font makes them, so they never overlap.
                mListPrint(*list, CInt(Printer.TextHeight(list->Text())), lowest, obError);
            } else if (kind == QLatin1String("CheckBox") || kind == QLatin1String("OptionButton")) {
                mCheckBoxOptionPrint(c, x, y, obError);
            } else if (auto* box = dynamic_cast<TextBox*>(&c)) {
                mTextPrint(ioForm, CInt(static_cast<double>(i)), lowest, obError);
                if (!obError && !box->Text().contains(kCrLf) && box->BorderStyle() != 0)
                    Printer.Line(x, y, x + c.Width(), y + c.Height(), vbcolor::vbBlack, LineStyle::Box);
            } else if (auto* bar = dynamic_cast<VScrollBar*>(&c)) {
                mVScrollBarPrint(*bar, inYOffset, lowest, obError);
            } else if (kind == QLatin1String("PictureBox")) {
                // Pictures are not printed.
            } else {
                vbBeep();   // a kind without a printing rule is left out
            }
        });
    }
    if (obError) abandonDocument();
    return lowest;
}

void gFormPrintBylineEndDoc(int16_t inStartHeight, bool& obError) {
    ErrorTrap trap(kModule, "gFormPrintBylineEndDoc", obError);
    const QString keptName = Printer.FontName();
    const auto restoreFont = qScopeGuard([&] { Printer.setFontName(keptName); });
    if (!trap(10, [&] {
            Printer.setFontName(QStringLiteral("Arial"));
            Printer.setCurrentY(inStartHeight);
            Printer.Print();
            Printer.Print();
            Printer.Print();
            Printer.Print(gsMainCaption);
            const double now = vclock::nowDays();
            Printer.Print(FormatDate(now, QStringLiteral("Long Time")) + QLatin1Char(' ') +
                          FormatDate(now, QStringLiteral("Short Date")));
            Printer.Print(kWebLine);
        })) {
        abandonDocument();
        return;
    }
    bool sent = false;
    trap(20, [&] {
        Printer.EndDoc();
        sent = true;
    });
    // Not sent (Abort, or Ignore of a printer error): the page must not ride along
    // with the next document.
    if (!sent) abandonDocument();
}
