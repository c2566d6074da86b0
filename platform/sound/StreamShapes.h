#pragma once
#include <vector>

// The ways a card's stream is opened, in the order tried: full duplex where
// the card has both directions (output and input on one clock), then the
// asked direction alone; each at the asked rate (when 44100 Hz or more),
// 44100, 48000 and the card's default rate; with mono, stereo and all of the
// card's output channels, and mono and stereo input.
namespace sound {

struct StreamShape {
    double rate = 0;
    int outChannels = 0;   // 0: that direction stays closed
    int inChannels = 0;
    // The output-only shape before it, once more: worth a try only where the
    // host took that shape but did not open it.
    bool again = false;
};

std::vector<StreamShape> streamShapes(double iWantedRate, double iDefaultRate, int iMaxOut, int iMaxIn,
                                      bool iForOutput);

}
