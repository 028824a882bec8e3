#pragma once

#include "core/app_state.h"
#include "core/ui.h"

namespace zanfold {

// The templates of the current work, their positions and the two tab strips.

// Command "选择模板": lets the user choose a library template for the work (only with an album loaded).
void ADDCLIPTEMPLATE(AppState& state, Ui& ui);

// Loads the mask pictures of work template w's positions from the "蒙版" folder of its template's project
// folder, for the positions whose mask file is there; nothing when the folder is gone.
void loadSlotMasks(AppState& state, Ui& ui, int w);

// Adds library template CurrentTemplate to the work: its positions with names and masks, a tab, counters.
void CLIP_ADDTEMPLATE(AppState& state, Ui& ui);

// Shows work template w, its specification s, position `slot` selected.
void CLIP_CHANGETEMPLATE(AppState& state, Ui& ui, int w, int s, int slot);

// Shows specification s of the current work template and lays out the canvas grid for the canvas area.
void CLIP_CHANGESPEC(AppState& state, Ui& ui, int s, int slot);

// Command "删除当前裁图模板". Later templates move down: their first positions and the usage texts of their
// photos are renumbered, so the work stays consistent.
void CLIP_DELTEMPLATE(AppState& state, Ui& ui);

// Empties the work; asks first unless noAsk.
void CLIP_CLEARTEMPLATES(AppState& state, Ui& ui, bool noAsk);

// Shows a work without templates: the empty tabs, no canvas, its commands disabled.
void showEmptyWork(AppState& state, Ui& ui);

// The commands that need a template in the work.
void setWorkCommands(Ui& ui, bool enable);

// After a project was opened: tabs, counters and the first template shown.
void CLIP_LOADTEMPLATES(AppState& state, Ui& ui);

// " 1920×1080 (12)  ": the tab of a specification.
QString specTabText(const SpecRecord& spec);

// The tab texts of an empty work.
QString emptyWorkTab();
QString emptySpecTab();

} // namespace zanfold
