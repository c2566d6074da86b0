#pragma once

// The one beep of the station; tests count them.
void vbBeep();
int beepCount();
