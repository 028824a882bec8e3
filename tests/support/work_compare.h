#pragma once

#include "core/work_history.h"

#include <QString>

namespace zanfold::test {

// The first field in which two works differ ("photos[3].usage: "…" / "…""), or an empty text when they are
// equal in every field a step of the history restores. Pictures compare by their pixels.
QString workDifference(const WorkSnapshot& expected, const WorkSnapshot& actual);

} // namespace zanfold::test
