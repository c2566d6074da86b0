#pragma once
#include "platform/vb/Variant.h"
#include <QString>

// The control codes of a label script, turned into the text they print. The
// window reads the unit's data; these rules only combine it.

// What a label is printed from: the run's and the unit's data.
struct LabelUnit {
    QString sSeqName;       // MODEL
    Variant vSerialNo;      // SERIAL and PARTNER; Null in a sequence never serialised
    QString sOperator;      // OPERATOR
    QString sCard;          // ID: the sound-card label's caption
    double dNow = 0.0;      // DATE and TIME, days since 1899-12-30
};

struct LabelCodeText {
    QString sText;          // what the code prints, possibly nothing
    bool bBeep = false;     // PLOT sounds the computer's beep
};

// One control code (the script line without its leading dots, trimmed) to its
// text. Codes and their arguments are taken in upper case; the first rule that
// matches decides: SPACEn (anywhere), CRn, DATE fmt, ID, MODEL, OPERATOR,
// PARTNER, PLOT, SERIAL, TIME, "."; anything else prints nothing. A count that
// is no whole number raises 13, one beyond 16 bits 6 (an empty count is 0); a
// Null serial number raises 94.
LabelCodeText labelCodeText(const QString& isCommand, const LabelUnit& iUnit);
