// Project files: open, crop every position, save, reopen; the reopened work must save to the same bytes.
#include "album/album_import.h"
#include "album/photo_ops.h"
#include "allocation/allocation.h"
#include "crop/assignment.h"
#include "crop/work_templates.h"
#include "fuzz/fuzz_support.h"
#include "output/batch_crop.h"
#include "project/project_file.h"
#include "support/recording_ui.h"

#include <QFile>

namespace zanfold::fuzz {

void writeSeeds(const QString& folder) {
    for (const bool turned : {false, true}) {
        AppState state;
        setUpWork(state);
        test::RecordingUi ui; // answers OK and Yes, cancels dialogs
        ALBUM_OPEN(state, ui, fixtureAlbum(), true);
        for (int t = 0; t < 2; ++t) {
            state.CurrentTemplate = t;
            CLIP_ADDTEMPLATE(state, ui);
        }
        ALLOT_PHOTOS(state, ui, false);
        if (turned) {
            state.CurrentPhoto = 0;
            PHOTO_ROTATE(state, ui, 1);
            ALLOT_PHOTOS(state, ui, false);
        }
        saveProjectTo(state, ui,
                      folder + (turned ? QStringLiteral("/turned.zpj") : QStringLiteral("/plain.zpj")));
    }
}

} // namespace zanfold::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zanfold;
    using namespace zanfold::fuzz;
    fixtureAlbum();
    const QString input = writeInput(QStringLiteral("input.zpj"), data, size);
    AppState state;
    setUpWork(state);
    test::RecordingUi ui; // answers OK and Yes, cancels dialogs
    if (openProjectFrom(state, ui, input) != 1) return 0;
    if (!checkInvariants(state).isEmpty()) broken("an opened project breaks the work's invariants");
    CLIP_BEGIN(state, ui);
    const QString first = scratchFolder() + QStringLiteral("/first.zpj");
    const QString second = scratchFolder() + QStringLiteral("/second.zpj");
    if (saveProjectTo(state, ui, first) != 1) return 0; // a text the file cannot hold
    AppState again;
    setUpWork(again);
    if (openProjectFrom(again, ui, first) != 1) broken("a saved project does not open");
    if (saveProjectTo(again, ui, second) != 1) broken("a reopened project does not save");
    QFile a(first), b(second);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly) || a.readAll() != b.readAll())
        broken("a reopened project saves to other bytes");
    return 0;
}
