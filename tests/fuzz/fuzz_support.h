#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// The entry point of every fuzz target; libFuzzer calls it, and so does the replay program under ctest.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace zanfold::fuzz {

// Writes the target's seed inputs into `folder`, made by the program's own writers.
void writeSeeds(const QString& folder);

// A folder of this process for the inputs and what the targets write.
QString scratchFolder();

// The album every project input refers to: three small photos (two landscape, one portrait) at a fixed
// path, so that seeds written once keep opening.
QString fixtureAlbum();

// A library of two small templates ("Pair": A 2 x 200 x 150, B 1 x 150 x 200; "Square": C 2 x 160 x 160),
// a canvas area, one worker and an output folder in the scratch folder.
void setUpWork(AppState& state);

// Writes the bytes to a file of the scratch folder and returns its path.
QString writeInput(const QString& name, const uint8_t* data, size_t size);

// Ends the process with a message: a target found a broken promise (libFuzzer keeps the input).
[[noreturn]] void broken(const char* what);

} // namespace zanfold::fuzz
