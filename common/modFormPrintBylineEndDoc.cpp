#include "common/modFormPrintBylineEndDoc.h"
#include "common/modFormPrint.h"

namespace {
constexpr int16_t kWindowTop = 900;
}

void gFormPrintFormBylineEndDoc(Form& ioForm, bool& obError) {
    const int16_t lowest = gnFormPrint(ioForm, kWindowTop, obError);
    if (obError) return;
    gFormPrintBylineEndDoc(lowest, obError);
}
