#pragma once

#include "core/app_state.h"
#include "core/ui.h"

namespace zanfold {

// Assigning album photos to the positions of the work. Every operation keeps use counts and usage texts in
// step with the positions and ends by asking for the canvas and the strip to be drawn again.

// "将替换 N 个手工调整过的位置，是否继续？": asked before an allocation replaces positions the user set by
// hand.
QString handSetQuestion(int positions);

// Toolbar "分配照片" (currentOnly false) and "分配当前模板" (true): in photo order, or by orientation when
// LockType is set.
void ALLOT_PHOTOS(AppState& state, Ui& ui, bool currentOnly);

void ALLOT_BYORDER(AppState& state, Ui& ui);
void ALLOT_BYTYPE(AppState& state, Ui& ui);
void ALLOT_BYORDER_CURRENT(AppState& state, Ui& ui);
void ALLOT_BYTYPE_CURRENT(AppState& state, Ui& ui);

// The photos not in use, in order, into the empty positions of the work (or of the current template).
void ALLOT_SURPLUS(AppState& state, Ui& ui, bool currentOnly, bool refresh);
// The same for work template w, from FreePhotos[pos] on; pos advances.
void ALLOT_SURPLUS_TEMPLATE(AppState& state, int w, const std::vector<int>& freePhotos, int& pos);

// The least-used photos into the current specification (equal counts keep photo order).
void ALLOT_TYPE(AppState& state, Ui& ui);

// Fills the empty positions of specification s of w with the filled ones in turn (photo and crop).
void ALLOT_COPY_SPEC(AppState& state, Ui& ui, int w, int s, bool refresh);
void ALLOT_COPY_ALL(AppState& state, Ui& ui);

void ALLOT_CLEAR_CURRENT(AppState& state, Ui& ui, bool quiet);
void ALLOT_CLEAR_ALL(AppState& state, Ui& ui, bool quiet);

void ALLOT_MENU(Ui& ui, bool enable);

} // namespace zanfold
