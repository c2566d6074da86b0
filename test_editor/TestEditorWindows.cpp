#include "test_editor/TestEditorWindows.h"
#include "common/WindowRegistry.h"
#include "test_editor/frmMETest.h"

void gTestEditorWindowsRegister() { gWindowRegister<frmMETest>(WindowKind::TestEditor); }
