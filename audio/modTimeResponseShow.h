#pragma once
#include <cstdint>
#include <vector>

class PictureBox;

// modTimeResponseShow: sample traces against time on one target picture: a
// zero axis across the middle, traces scaled to the plot height, and a label
// with the length of the time window. Samples are indexed from 1 (element 0
// unused).

// Makes the picture the target, with the plot at (inLeft, inTop) and 8 twips
// smaller than the size given; returns the half height of the plot.
int16_t gnTimeResponseInit(PictureBox& ioTarget, int16_t inLeft, int16_t inTop, int16_t inWidth, int16_t inHeight,
                           bool& obError);

// The zero axis, after clearing the target when asked. It and the window label
// are drawn in the button-text colour on a button-face background, else in the
// complement of the background.
void gTimeResponseShowDrawAxis(bool ibClear, bool& obError);

// One trace from the axis at the left edge: samples 1..n across the plot width,
// a sample of ifFullScale / 2 at 0.9 of the half height; above a fifth of the
// plot width in samples only every step-th sample is drawn, and the last. Then
// the window label (ifWindow in seconds) at the lower right. An empty trace
// draws nothing.
void gTimeResponseShow(const std::vector<int16_t>& ianSamples, bool ibJoined, float ifFullScale, int32_t ilColour,
                       float ifWindow, bool& obError);
