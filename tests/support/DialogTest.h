#pragma once
#include "common/modGeneral.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/Twips.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/StationTest.h"

inline void PrintTo(const QString& iText, std::ostream* oStream) { *oStream << '"' << iText.toStdString() << '"'; }

// The common dialogs on a 1024 x 768 screen; the user's part is queued with
// expectModal.
class DialogTest : public StationTest {
protected:
    void SetUp() override {
        StationTest::SetUp();
        twips::setTestScreen(15360, 11520);
        gbUserRegionChanged = false;
        gsMainCaption = QStringLiteral("Vexo v1.000");
    }
    void TearDown() override {
        endOfScript();
        twips::clearTestScreen();
        StationTest::TearDown();
    }
};

// Empties the box with Backspace and types a new text.
inline void retype(TextBox& ioBox, const QString& iText) {
    ioBox.SetFocus();
    while (!ioBox.Text().isEmpty()) drive::key(Qt::Key_Backspace);
    drive::type(iText);
}
