#pragma once
#include <QString>

// "Available soon but, regrettably, not yet", titled with the feature's name.
void gMsgBoxNotYet(const QString& isFeature, bool& obError);

// Asks a question with Yes and No, titled isTitle followed by " ... "; true for Yes.
bool gbMsgBoxYesNo(const QString& isQuestion, const QString& isTitle, bool& obError);
