#pragma once

#include "core/app_state.h"
#include "core/ui.h"

#include <QString>

namespace zanfold {

// The template library file (state.TemplateFile, zfTemplate.xml): one element per template, named after
// it, holding "info" (path, type, pTypeSum, count) and "photo" with one element per specification named
// after its prefix (width, height, count, flength). Elements and attributes are read by position; numbers
// are written with one leading space. Every change loads the file, edits it and writes it back atomically.

// Why the library would not load this template, empty when it would: specification sizes within 100 ..
// 8000 pixels, counts within 1 .. 30000, naming lengths 1 .. 10, no prefix twice, and a total that is the
// sum of the counts. Whatever adds a template checks it first, so nothing added vanishes at the next start.
QString templateProblem(const TemplateRecord& t);

// Replaces the library lists with the file's valid templates. Templates with values out of range are
// skipped silently and stay in the file.
void TEMPLATE_LOAD(AppState& state, Ui& ui);

// Appends the newest template of the lists to the file. A file that cannot be parsed is kept beside it
// (zfTemplate.xml.bad1, …) before a new library is started. False, with a message, when nothing was saved.
bool TEMPLATE_SAVE(AppState& state, Ui& ui);

// Removes the template element from the file. True when the caller may remove the template from the
// lists: it was removed, or the file could not be read at all.
bool TEMPLATE_REMOVE(AppState& state, Ui& ui, const QString& name);

// Clears the library file away by renaming it to zfTemplate.xml.bak (zfTemplate.xml.bak2, … when an
// earlier backup is there), so the next template saved starts a new file. True when no library file is
// left; otherwise a message says why and nothing changed.
bool backUpLibrary(AppState& state, Ui& ui);

// Index of the first template of that name, or -1.
int TEMPLATE_FIND(const AppState& state, const QString& name);

} // namespace zanfold
