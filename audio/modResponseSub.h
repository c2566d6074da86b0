#pragma once
#include <QString>
#include <cstdint>
#include <vector>

class DrawSurface;
class PictureBox;

// A window that shows a frequency-response graph: its picture box picResponse
// is the plot area, and the level numbers, frequency labels and axis caption
// are printed on the window's own surface around it. The window sets
// picResponse in its constructor and returns formSurface(*this) as its surface.
class ResponseWindow {
public:
    virtual ~ResponseWindow() = default;
    PictureBox* picResponse = nullptr;
    virtual DrawSurface& windowSurface() = 0;
};

// modResponseSub: frequency-response graphs. A grid with a logarithmic axis
// from 20 Hz to 20 kHz over 30 dB (0 dB at the top edge), curves point by point
// or whole, the limit layers' check-range boxes, test names in label slots and
// the range warning. Positions are twips in the picture's inner area.
//
// The grid values (left margin, plot width, dB factor) and the previous plotted
// point are one state shared by every window, set by the last grid drawn;
// every station graph has the same size. The previous point lives as long as
// the program.

// The colour of a limit layer: 1 blue, 2 green, 3 cyan, 4 white, 5 magenta,
// 6 yellow, any other layer red.
int32_t glResponseSubLayerColour(int16_t inLayer, bool& obError);

// The check-range boxes of a layer: an outline from the band's low to its high
// frequency (two, leaving out the hole, when ilFMLo is not 0), from -10 + limit
// down to -20 - limit dB, in the layer's colour.
void gResponseSubShowCheckRange(ResponseWindow& frm, int32_t ilFLo, int32_t ilFMLo, int32_t ilFMHi, int32_t ilFHi,
                                float ifLim, int16_t inLayer, bool& obError);

// Places, clears and shows picResponse and draws the grid (logarithmic when
// inLinDiv is 0, else inLinDiv linear divisions), the level numbers and the
// axis caption; the right-hand numbers when asked.
void gResponseSubDrawGrid(ResponseWindow& frm, int16_t inLeft, int16_t inTop, int16_t inWidth, int16_t inHeight,
                          int16_t inLinDiv, const QString& isCaption, bool ibRightAxis, bool& obError);

// Prints a test name in its slot (1 to 11 down the left, 12 on down the right) in the colour.
void gResponseSubShowTestName(ResponseWindow& frm, const QString& isTestName, int16_t inSlot, int32_t ilColour,
                              bool& obError);

// One segment of a curve to (inX, inY) from the previous point, kept inside the
// plot: above the top it runs at y 5, below the bottom limit (10 twips above the
// bottom edge) along that limit. Not joined, it only moves the position. Lets
// window events run when asked.
void gResponseSubPlotOne(ResponseWindow& frm, int16_t inX, int16_t inY, int32_t ilColour, int16_t inDrawStyle,
                         bool ibJoin, bool ibDoEvents, bool& obError);

// A whole curve: levels iafY(1..inPoints) at the sweep points from ilFLo to ilFHi.
// An array too short for the point count is refused with a message.
void gResponseSubPlotSet(ResponseWindow& frm, int32_t ilFLo, int32_t ilFHi, int16_t inPoints,
                         const std::vector<float>& iafY, int32_t ilColour, int16_t inDrawStyle, bool& obError);

// Picture x of a frequency and y of a level (dB) on the last grid drawn.
int16_t gnResponseSubCalcX(float ifFreq, bool& obError);
int16_t gnResponseSubCalcY(ResponseWindow& frm, float ifLevel, bool& obError);

// Prints "Rng? " in yellow at the bottom right when the microphone record volume is at its top (65535).
void gResponseSubShowRange(ResponseWindow& frm, int32_t ilMicVol, bool& obError);

// Top of a text line near the bottom of the picture; line 0 is the last full line.
int16_t gnResponseSubLblTop(ResponseWindow& frm, int16_t inLine, bool& obError);
