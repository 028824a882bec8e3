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
    QStringList profileUnusable; // positions whose photo's colour profile could not be used
    QStringList background;
    // Positions more than a quarter background although CheckMove kept every crop inside its photo: the
    // photo no longer fits the crop (a project reopened over a photo that changed shape).
    QStringList lostFit;
    // Photos whose files changed (or went) since they were read, and the positions that use them: those
    // are not written, since their crops were made on the old pictures.
    QStringList changedPhotos;
    std::vector<int> changedSlots; // global position numbers
    QStringList changedPositions;
    // Background alone is what CheckMove off asked for; the rest is worth a question.
    bool worthAsking() const {
        return !enlarged.empty() || !damaged.empty() || !profileUnusable.isEmpty() || !lostFit.isEmpty() ||
               !changedPositions.isEmpty();
    }
};

// The part of the crop's source rectangle that lies outside its photo, 0 .. 1.
double backgroundShare(const PhotoRecord& photo, const QRect& source);

// Every position that holds a photo, as the batch would render it.
PreflightReport preflightCheck(const AppState& state);

// The one summary shown before the batch, ending in "继续裁图？".
QString preflightText(const PreflightReport& report);

} // namespace zanfold
