#pragma once

class Form;

// Prints one window at 900 twips from the top of the page with the byline below
// it and ends the document; nothing is printed when the window's printing is
// aborted.
void gFormPrintFormBylineEndDoc(Form& ioForm, bool& obError);
