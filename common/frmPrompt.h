#pragma once
#include "platform/ui/Form.h"

// The notice shown while the caller keeps working (a tone plays, a record is
// written). It is not modal: the caller closes it with unload<frmPrompt>().
class frmPrompt : public Form {
public:
    frmPrompt();

    // Shows isPrompt as one line centred on the notice captioned isHeader, and
    // paints it at once. A wider text widens the notice about its centre; it
    // never becomes narrower. Called again while shown, it replaces both texts.
    static void gDisplay(const QString& isPrompt, const QString& isHeader, bool& obError);
    // The line the notice shows.
    const QString& Prompt() const { return msPrompt; }

protected:
    void paintEvent(QPaintEvent* iEvent) override;

private:
    QString msPrompt;
    int32_t mlPromptLeft = 0;   // twips from the client area's left edge
};
