#pragma once
#include <QFont>

// The station's one interface font. The windows are laid out in twips for an
// 8-point MS Sans Serif at 15 twips to the pixel (13 pixels to the line); the
// font of the same name from Debian's fonts-wine has its advance widths and line
// height, so captions fit the controls the layouts give them. The font file
// lives outside fontconfig's folders, so it is registered with the application.
namespace appfont {
// The folder of Debian's fonts-wine files (a test may point elsewhere).
QString fontFile();
// Registers the font and makes it the application's font; once per application,
// right after the application object is made (main() does it; the first window
// does it where main() did not), since a font changed under open windows
// disturbs their focus. Later calls do nothing. Without the font file the
// application keeps its default and the error log is not touched: the window
// fit test is what reports a missing font.
void install();
// The font every window and message box uses: MS Sans Serif 8 pt.
QFont interfaceFont();
// The big bold font of a result the operator reads from the jig: a scalable
// sans-serif (Liberation Sans, Debian's fonts-liberation), since the interface
// font comes in its small sizes only.
QFont resultFont();
// True when the font file was found and registered.
bool installed();
}
