#pragma once
#include <QString>

// Copies the test record named isSourceTestName, every field, under the name
// isNewTestName, adding it through the main window's test data control, which
// is refreshed after. The source is found by its exact name; when there is none
// the engineer is told ("Test '<name>' not found") and nothing is written.
// True when the copy was stored. The test editor's Save As and the sequence
// editor's typical test both copy through here, so the copy never needs the
// test editor open.
bool gbMETestCopy(const QString& isSourceTestName, const QString& isNewTestName, bool& obError);
