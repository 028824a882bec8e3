#include "crop/slots.h"

namespace zanfold {

const TemplateRecord& templateOf(const AppState& state, int w) {
    return state.Templates[state.WorkTemplates[w].template_];
}

const SpecRecord& specOf(const AppState& state, int w, int s) {
    return templateOf(state, w).spec[s];
}

int GETTEMPLATESLOTS(const AppState& state, int w, int s) {
    const TemplateRecord& t = templateOf(state, w);
    int offset = 0;
    for (int j = 0; j < s; ++j)
        offset += t.spec[j].count;
    return offset;
}

int CLIP_GETSLOT(const AppState& state, int w, int s, int n) {
    return state.WorkTemplates[w].firstSlot + GETTEMPLATESLOTS(state, w, s) + n;
}

int currentSlotIndex(const AppState& state) {
    if (state.CurrentWork < 0 || state.CurrentSlot < 0 ||
        state.CurrentWork >= static_cast<int>(state.WorkTemplates.size()))
        return -1;
    const TemplateRecord& t = templateOf(state, state.CurrentWork);
    if (state.CurrentSpec < 0 || state.CurrentSpec >= t.pTypeSum ||
        state.CurrentSlot >= t.spec[state.CurrentSpec].count)
        return -1;
    return CLIP_GETSLOT(state, state.CurrentWork, state.CurrentSpec, state.CurrentSlot);
}

const SpecRecord& currentSpecRecord(const AppState& state) {
    return specOf(state, state.CurrentWork, state.CurrentSpec);
}

QString positionLabel(const AppState& state, int w, int g) {
    return state.TemplateNames.value(state.WorkTemplates[w].template_) + QStringLiteral("：") +
           state.Slots[g].name;
}

} // namespace zanfold
