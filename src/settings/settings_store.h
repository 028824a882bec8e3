#pragma once

#include "core/app_state.h"
#include "imaging/file_utils.h"

#include <QString>

namespace zanfold {

// The number at the start of a settings value: leading blanks skipped, "&H" and hexadecimal digits, or an
// optional sign, digits and fraction; reading stops at the first character that does not fit; no number
// reads as 0.
double parseSettingsNumber(const QString& text);

// Where Zanfold.ini and the template library live: the program's folder when it is writable (portable
// use), otherwise the per-user configuration folder (created when missing).
QString dataFolder(const QString& programFolder);

// Sets SettingsPath to Zanfold.ini in `folder` and reads every setting from it, with defaults for what is
// missing and the values clamped to their ranges.
void LOADOPTIONS(AppState& state, const QString& folder);
// The same for a settings file of any name.
void loadOptionsFrom(AppState& state, const QString& file);

// Writes every setting to SettingsPath in one atomic write, other content of the file kept.
FileError saveOptions(const AppState& state);

} // namespace zanfold
