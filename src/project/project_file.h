#pragma once

#include "core/app_state.h"
#include "core/ui.h"
#include "imaging/file_utils.h"

#include <QByteArray>

#include <optional>

namespace zanfold {

// Project files (*.zpj): little-endian, the magic 0x156ADEF0, the signature "zfq", the album folder, each
// photo's use count and usage, the templates of the work by name, and every position's photo, name and
// crop. Texts are GB18030 text blocks. An extension block after the last position, which readers of the
// original format never reach, names the photos in album order with their quarter turns, so the crops
// apply to the turned photos again and an album that changed is noticed.

// A text block: n = L - 1, the text as entry 0, then n empty entries.
QByteArray textBlock(const QByteArray& bytes);

// The file's bytes for the current work; nullopt when a text cannot be stored (the reason in `error`).
std::optional<QByteArray> projectBytes(const AppState& state, QString* error);

// The name proposed for saving: album name, then "_" and each template's name.
QString proposedProjectName(const AppState& state);

// Command "保存项目": into the project file the work was opened from or last saved to, without a question;
// a work that has none asks for one as "另存为" does. 1 when the file was written.
int SAVEPROJ(AppState& state, Ui& ui);
// Command "另存为": asks for the file, then writes the project there. 1 when the file was written.
int SAVEPROJAS(AppState& state, Ui& ui);
// Writes the project to `path` (no dialog). 1 when written.
int saveProjectTo(AppState& state, Ui& ui, const QString& path);

// Command "打开项目". 1 when the work was restored.
int OPENPROJ(AppState& state, Ui& ui);
// A project named when the program starts, or by a later start (a project file opened from the desktop):
// asks as "打开项目" does before the current work is replaced, then opens it. 1 when the work was restored.
int openGivenProject(AppState& state, Ui& ui, const QString& path);
// Opens `path` (no dialog, no question). 1 when the work was restored.
int openProjectFrom(AppState& state, Ui& ui, const QString& path);

} // namespace zanfold
