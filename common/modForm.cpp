#include "common/modForm.h"
#include "common/ErrorTrap.h"
#include "common/modGeneral.h"
#include "platform/os/Settings.h"
#include "platform/ui/Form.h"
#include "platform/ui/Twips.h"
#include "platform/vb/Conversions.h"

namespace {
const char* kModule = "modForm";
constexpr int32_t kMargin = 200;         // a window may stick out this far past a screen edge
constexpr int32_t kGap = 80;             // between a secondary window and its owner
constexpr int32_t kMinimised = -480000;  // where a minimised window is: never saved

// One coordinate: below -200 or beyond the highest (now or wanted) is corrected.
int32_t onScreen(int32_t iNow, int32_t iWanted, int32_t iHighest, bool& ioInPlace) {
    if (iNow < -kMargin || iWanted < -kMargin) {
        ioInPlace = false;
        return -kMargin;
    }
    if (iNow > iHighest || iWanted > iHighest) {
        ioInPlace = false;
        return iHighest;
    }
    return iWanted;
}
}

bool gbFormMoveOnScreen(Form& ioForm, int32_t ilLeft, int32_t ilTop, bool& obError) {
    ErrorTrap trap(kModule, "gbFormMoveOnScreen", obError);
    bool inPlace = true;
    trap(10, [&] {
        const int32_t highestTop = CLng(static_cast<double>(twips::screenHeight()) - ioForm.Height() + kMargin);
        const int32_t highestLeft = CLng(static_cast<double>(twips::screenWidth()) - ioForm.Width() + kMargin);
        const int32_t left = onScreen(ioForm.Left(), ilLeft, highestLeft, inPlace);
        const int32_t top = onScreen(ioForm.Top(), ilTop, highestTop, inPlace);
        ioForm.Move(left, top);
    });
    return inPlace;
}

bool gbFormSecondaryPosition(const Form& iOwner, Form& ioForm, bool& obError) {
    ErrorTrap trap(kModule, "gbFormSecondaryPosition", obError);
    bool placed = false;
    int32_t left = 0, top = 0;
    if (!trap(10, [&] {
            // Sizes of the owner as 32-bit values: a wide screen's window does not overflow.
            const int64_t ownerLeft = iOwner.Left();
            const int64_t ownerTop = iOwner.Top();
            const int64_t ownerWidth = iOwner.Width();
            const int64_t ownerHeight = iOwner.Height();
            const int64_t width = ioForm.Width();
            const int64_t height = ioForm.Height();
            const int64_t screenWidth = twips::screenWidth();
            const int64_t screenHeight = twips::screenHeight();
            int64_t l = 0, t = 0;
            if (screenWidth - (ownerLeft + ownerWidth + kGap) >= width && screenHeight - ownerTop >= height) {
                l = ownerLeft + ownerWidth + kGap;
                t = ownerTop;
                placed = true;
            } else if (width <= ownerLeft - kGap && screenHeight - ownerTop >= height) {
                l = ownerLeft - width - kGap;
                t = ownerTop;
                placed = true;
            } else if (screenHeight - (ownerTop + ownerHeight + kGap) >= height) {
                l = ownerLeft;
                t = ownerTop + ownerHeight + kGap;
                placed = true;
            } else if (height <= ownerTop - kGap) {
                l = ownerLeft;
                t = ownerTop - height - kGap;
                placed = true;
            }
            left = checkedLong(l);
            top = checkedLong(t);
        }))
        return true;
    if (!placed) return true;
    return gbFormMoveOnScreen(ioForm, left, top, obError);
}

void gFormSettingLeftTopGet(const QString& isKey, int32_t ilLeftDefault, int32_t ilTopDefault, int32_t& olLeft,
                            int32_t& olTop, bool& obError) {
    ErrorTrap trap(kModule, "gFormSettingLeftTopGet", obError);
    if (gbUserRegionChanged) return;
    int32_t left = olLeft, top = olTop;
    if (!trap(10, [&] { left = CLng(Variant(userSetting(isKey + QStringLiteral(".Left"), QString::number(ilLeftDefault)))); }))
        return;
    if (!trap(20, [&] { top = CLng(Variant(userSetting(isKey + QStringLiteral(".Top"), QString::number(ilTopDefault)))); }))
        return;
    olLeft = left;
    olTop = top;
}

void gFormSettingLeftTopGetMove(Form& ioForm, int32_t ilLeftDefault, int32_t ilTopDefault, bool& obError) {
    // While the region has changed nothing is read: the window goes to the
    // caller's defaults rather than to the screen's top-left corner.
    int32_t left = ilLeftDefault, top = ilTopDefault;
    gFormSettingLeftTopGet(ioForm.Name(), ilLeftDefault, ilTopDefault, left, top, obError);
    if (obError) return;
    gbFormMoveOnScreen(ioForm, left, top, obError);
}

void gFormSettingLeftTopSave(const QString& isKey, int32_t ilLeft, int32_t ilTop, bool& obError) {
    ErrorTrap trap(kModule, "gFormSettingLeftTopSave", obError);
    if (ilLeft != kMinimised && !trap(10, [&] { saveUserSetting(isKey + QStringLiteral(".Left"), QString::number(ilLeft)); }))
        return;
    if (ilTop != kMinimised) trap(20, [&] { saveUserSetting(isKey + QStringLiteral(".Top"), QString::number(ilTop)); });
}

void gFormShowRestore(Form& ioForm, bool& obError) {
    ErrorTrap trap(kModule, "gFormShowRestore", obError);
    trap(10, [&] {
        ioForm.Show();
        ioForm.setWindowState(static_cast<int16_t>(vbNormal));
    });
}
