#pragma once

// Enters the test editor in the window registry.
void gTestEditorWindowsRegister();
