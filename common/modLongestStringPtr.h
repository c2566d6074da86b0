#pragma once
#include <QStringList>
#include <cstdint>

// The index of the first longest entry (by characters); the lower bound 0 when
// all are empty, so an unused, empty entry 0 of a list counted from 1 never
// wins over a named one. An empty list is a run-time error (9).
int32_t glLongestStringPtr(const QStringList& iasText, bool& obError);
