#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "imaging/picture.h"

#include <QStringList>

#include <functional>

namespace zanfold {

// The album's photo files: the "*.jpg" names, then the "*.jpeg" names, each group in name order without
// regard to case, so the same folder always gives the same order (project files refer to photos by place).
QStringList albumFiles(const QString& folder);

// Imports an album: asks for the folder when `folder` is empty, clears the work, decodes every photo on
// all cores into its thumbnail, and orders the catalogue by orientation. 1 when an album was loaded.
// `quiet` skips redrawing the strip (a project being opened redraws once at its end).
int ALBUM_OPEN(AppState& state, Ui& ui, const QString& folder, bool quiet);

// What the status bar says after a cancelled import.
QString importCancelledText();

// A folder dropped on the window: asks before replacing a loaded album, then lets `mayDropWork` ask about
// unsaved work (false: the work stays).
void dropAlbumFolder(AppState& state, Ui& ui, const QString& path, const std::function<bool()>& mayDropWork);

// How photo files are read into records.
struct PhotoLoad {
    bool autoOrient = true;   // EXIF orientation applied
    bool manageColour = true; // embedded colour profiles converted to sRGB
    ThumbMode mode = ThumbMode::Fast;
    bool findFaces = false; // faces detected in the same decode
};
PhotoLoad photoLoad(const Settings& settings, ThumbMode mode);

// Reads a photo file into the picture fields of a record: upright size, thumbnail, strip size, the damaged
// mark and, when asked, its faces. The reason when it does not decode, and then the record is unchanged.
QString loadPhotoFile(PhotoRecord& photo, const QString& path, const PhotoLoad& load);

// The thumbnail cache's bound in bytes, from the settings.
qint64 thumbCacheLimit(const AppState& state);
// After a photo was decoded anew (a reload): its row in the thumbnail cache is refreshed, and its thumbnail
// made the one the cache gives back.
void rememberThumbnail(const AppState& state, PhotoRecord& photo, ThumbMode mode);

// Releases the catalogue.
void ALBUM_RESET(AppState& state, Ui& ui);

// After decoding: drops what did not decode, sets orientation and counts, orders by orientation.
void ALBUM_INIT(AppState& state, Ui& ui);

// Status texts: mode 0 both, 1 the selected photo (part 1), 2 the album's counts (part 2).
void ALBUM_UPDATEINFO(const AppState& state, Ui& ui, int mode);

} // namespace zanfold
