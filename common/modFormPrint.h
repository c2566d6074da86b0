#pragma once
#include <cstdint>

class Form;

// Window printing: a window's controls drawn on the default printer as text and
// simple frames at their design places, in Arial, followed by a byline. The
// printer's own font size and page settings are kept; positions in the window
// (twips) are positions on the page.

// Prints the window's controls with its top at inYOffset on the page and
// returns the lowest print position reached (the start of whatever follows).
// The document stays open, so several windows can share one page: the first at
// 900, a further one at the returned position plus a gap, then the byline.
// Abort of an error throws the whole document away: nothing of it is printed.
int16_t gnFormPrint(Form& ioForm, int16_t inYOffset, bool& obError);

// Three empty lines below inStartHeight, the program caption, the time and
// date, the maker's web address; then ends the document, which prints it.
// Abort of an error throws the document away.
void gFormPrintBylineEndDoc(int16_t inStartHeight, bool& obError);
