#pragma once

#include "core/app_state.h"
#include "support/recording_ui.h"

#include <QSize>

#include <vector>

namespace zanfold::test {

// A photo record as import makes it, without a file: sizes, thumbnail and strip sizes, orientation.
PhotoRecord makePhoto(int index, QSize size);

// Replaces the album by photos of these sizes, ordered by orientation as import orders them.
void setAlbum(AppState& state, const std::vector<QSize>& sizes);

// A library template of these specifications (prefix, flength, width, height, count); returns its index.
int addLibraryTemplate(AppState& state, const QString& name, const std::vector<SpecRecord>& specs,
                       const QString& path = {});

// Takes library template t into the work as the template window would.
void addToWork(AppState& state, Ui& ui, int t);

// A main window of the usual size: canvas area 900 x 500.
void setCanvasArea(AppState& state, int width = 900, int height = 500);

} // namespace zanfold::test
