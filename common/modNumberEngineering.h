#pragma once
#include <QString>

// The value as text in the user's locale followed by " (" and a prefix, for a
// caller that appends its unit and ")": 0.01 and above plain, down to 1e-5 in
// m, to 1e-8 in u, to 1e-11 in n, anything smaller (0 and negative values too)
// in p. 0.005 gives "5 (m".
QString gsNumberEngineering(float ifValue, bool& obError);
