#pragma once
#include <cstdint>

// A whole number from inLow to inHigh inclusive, from the one random sequence
// of the process (seeded once, never reseeded).
int16_t gnRandomInteger(int16_t inLow, int16_t inHigh, bool& obError);
