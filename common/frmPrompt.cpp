#include "common/frmPrompt.h"
#include "common/ErrorTrap.h"
#include "platform/ui/FormRegistry.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/Twips.h"
#include "platform/vb/Conversions.h"
#include <QPainter>

namespace {
constexpr int32_t kPromptTop = 300;
}

frmPrompt::frmPrompt() : Form(QStringLiteral("frmPrompt")) { setClientSize(2865, 1110); }

void frmPrompt::gDisplay(const QString& isPrompt, const QString& isHeader, bool& obError) {
    ErrorTrap trap("frmPrompt", "gDisplay", obError);
    frmPrompt* f = nullptr;
    int32_t textWidth = 0;
    if (!trap(10, [&] {
            const bool fresh = !isLoaded<frmPrompt>();
            f = &form<frmPrompt>();
            // A new notice stands in the middle of the window it belongs to, or
            // of the screen when no window is shown.
            if (fresh) {
                gCentreOnOwner(*f);
                f->Move(f->Left(), f->Top());
            }
            f->setCaption(isHeader);
            textWidth = CLng(f->TextWidth(isPrompt));
        }))
        return;
    if (!trap(20, [&] {
            const int32_t wanted = CLng(1.18 * textWidth);
            if (wanted > f->Width()) {
                const int32_t growth = wanted - f->Width();
                f->Move(f->Left() - growth / 2, f->Top(), wanted);
            }
        }))
        return;
    trap(30, [&] {
        f->msPrompt = isPrompt;
        f->mlPromptLeft = (f->ScaleWidth() - textWidth) / 2;
        f->Show();
        f->raise();
        // The caller goes on working on this thread at once: paint now.
        f->Refresh();
    });
}

void frmPrompt::paintEvent(QPaintEvent* iEvent) {
    Q_UNUSED(iEvent);
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const int baseline = twips::toPixels(kPromptTop) + p.fontMetrics().ascent();
    p.drawText(twips::toPixels(mlPromptLeft), baseline, msPrompt);
}
