#pragma once

#include "core/app_state.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace zanfold {

// What the batch is about to deliver that the user may not expect: positions whose photo is enlarged
// beyond kEnlargementWarning (softer output), positions using damaged photos, and crops that reach outside
// their photo (background shows). Read before any file is written.
struct PreflightReport {
    struct Enlarged {
        QString position; // "模板：A001（IMG_0001.jpg）"
        double factor = 0;
    };
    std::vector<Enlarged> enlarged; // the worst first
    QStringList damaged;
    QStringList background;
    // Enlargement and damage are worth a question; background alone is what CheckMove off asked for.
    bool worthAsking() const { return !enlarged.empty() || !damaged.empty(); }
};

// Every position that holds a photo, as the batch would render it.
PreflightReport preflightCheck(const AppState& state);

// The one summary shown before the batch, ending in "继续裁图？".
QString preflightText(const PreflightReport& report);

} // namespace zanfold
