#include "supervisor/frmMPairMatch.h"
#include "common/ErrorTrap.h"
#include "common/modUpDownSet.h"
#include "platform/ui/Color.h"
#include "platform/vb/Conversions.h"
#include "supervisor/PairMatchMath.h"

namespace {
const char* kModule = "frmMPairMatch";
}

// A box's figure as the window reads it: its leading number, with the locale's
// decimal character or a full stop.
float frmMPairMatch::mfBoxNumber(const TextBox& iBox) const {
    return static_cast<float>(ValUser(iBox.Text()));
}

int32_t frmMPairMatch::mlBoxWhole(const TextBox& iBox) const {
    return leadingWholeNumber(iBox.Text());
}

// Moves a spinner's range, keeping its value. A range that cannot hold the
// value (a box being typed into passes through such numbers) is left for the
// box's own check to refuse.
void frmMPairMatch::mSpinnerRange(UpDown& ioSpinner, int32_t ilMin, int32_t ilMax, bool& obError) {
    if (ilMin > ilMax || ioSpinner.Value() < ilMin || ioSpinner.Value() > ilMax) return;
    gUpDownSet(ioSpinner.Value(), ilMax, ilMin, 1, ioSpinner, obError);
}

// Pair Match is offered while the batch holds at least the batch start's
// number of curves; both numbers turn red when it does not.
void frmMPairMatch::mBatchStartRule(bool ibSizeChange, bool& obError) {
    ErrorTrap trap(kModule, ibSizeChange ? "txtBatchSize_Change" : "txtBatchStart_Change", obError);
    mMatchedClear(obError);
    if (obError) return;
    trap(20, [&] {
        const int32_t start = mlBoxWhole(*txtBatchStart);
        const int32_t size = mlBoxWhole(*txtBatchSize);
        const bool large = size >= start;
        cmdPairMatch->setEnabled(large);
        const int32_t colour = large ? vbcolor::vbButtonText : vbcolor::vbRed;
        txtBatchSize->setForeColor(colour);
        txtBatchStart->setForeColor(colour);
        bool bError = false;
        mSpinnerRange(*updBatchEnd, updBatchEnd->Min(), start - 2, bError);
        if (ibSizeChange) mnuFileDeleteAll->setEnabled(size != 0);
    });
}

void frmMPairMatch::txtBatchSize_Change() {
    bool bError = false;
    mBatchStartRule(true, bError);
}

void frmMPairMatch::txtBatchStart_Change() {
    bool bError = false;
    mBatchStartRule(false, bError);
}

void frmMPairMatch::txtBatchEnd_Change() {
    bool bError = false;
    mMatchedClear(bError);
    if (bError) return;
    mSpinnerRange(*updBatchStart, mlBoxWhole(*txtBatchEnd) + 2, updBatchStart->Max(), bError);
}

void frmMPairMatch::txtAveLim_Change() {
    bool bError = false;
    mMatchedClear(bError);
}

void frmMPairMatch::txtWorstLim_Change() {
    bool bError = false;
    mMatchedClear(bError);
}

void frmMPairMatch::txtBatchStart_Validate(bool& Cancel) {
    bool bError = false;
    Cancel = gbNumberBoxInvalid(mRuleBatchStart, bError);
    if (Cancel || bError) return;
    ErrorTrap trap(kModule, "txtBatchStart_Validate", bError);
    trap(20, [&] {
        const int32_t start = mlBoxWhole(*txtBatchStart);
        const int32_t lowest = mlBoxWhole(*txtBatchEnd) + 2;
        bool bSpinError = false;
        if (updBatchStart->Value() != start) gUpDownSet(start, updBatchStart->Max(), lowest, 1, *updBatchStart, bSpinError);
        else mSpinnerRange(*updBatchStart, lowest, updBatchStart->Max(), bSpinError);
        mSpinnerRange(*updBatchEnd, updBatchEnd->Min(), start - 2, bSpinError);
    });
    mRefillLstPair(bError);
}

void frmMPairMatch::txtBatchEnd_Validate(bool& Cancel) {
    bool bError = false;
    Cancel = gbNumberBoxInvalid(mRuleBatchEnd, bError);
    if (Cancel || bError) return;
    mSpinnerRange(*updBatchStart, mlBoxWhole(*txtBatchEnd) + 2, updBatchStart->Max(), bError);
    bError = false;
    mRefillLstPair(bError);
}

void frmMPairMatch::txtAveLim_Validate(bool& Cancel) {
    bool bError = false;
    Cancel = gbNumberBoxInvalid(mRuleAveLim, bError);
    if (Cancel || bError) return;
    mRefillLstPair(bError);
}

void frmMPairMatch::txtWorstLim_Validate(bool& Cancel) {
    bool bError = false;
    Cancel = gbNumberBoxInvalid(mRuleWorstLim, bError);
    if (Cancel || bError) return;
    mRefillLstPair(bError);
}
