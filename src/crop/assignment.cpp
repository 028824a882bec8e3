#include "crop/assignment.h"

#include "core/commands.h"
#include "core/records.h"
#include "core/text.h"
#include "crop/face_crop.h"
#include "crop/slots.h"

#include <algorithm>

namespace zanfold {

void assignPhoto(AppState& state, int p, int w, int s, int n, int aw, int ah) {
    PhotoRecord& photo = state.Photos[p];
    SlotRecord& slot = state.Slots[CLIP_GETSLOT(state, w, s, n)];
    const CropRect c = initialCrop(state.settings, aw, ah, photo);
    slot.photo = p;
    slot.cropX = c.x;
    slot.cropY = c.y;
    slot.cropWidth = c.width;
    slot.cropHeight = c.height;
    slot.handSet = false;
    ++photo.useCount;
    appendUsage(photo.usage, {w, s, n});
}

void releaseSlot(AppState& state, int w, int s, int n) {
    SlotRecord& slot = state.Slots[CLIP_GETSLOT(state, w, s, n)];
    const int p = slot.photo;
    if (p < 0) return;
    slot.photo = -1;
    slot.handSet = false;
    PhotoRecord& photo = state.Photos[p];
    --photo.useCount;
    removeUsage(photo.usage, {w, s, n});
    // A full text did not name every position, or ends in a cut entry: now there is room, so write it anew
    // rather than leave a fragment that the next entry would run into.
    const bool cutTail = !photo.usage.isEmpty() && !photo.usage.endsWith(QLatin1Char('|'));
    if (cutTail || static_cast<int>(parseUsage(photo.usage).size()) != photo.useCount) refreshUsage(state, p);
}

std::vector<UsageEntry> positionsOf(const AppState& state, int p) {
    std::vector<UsageEntry> found;
    for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w) {
        const TemplateRecord& t = templateOf(state, w);
        int g = state.WorkTemplates[w].firstSlot;
        for (int s = 0; s < t.pTypeSum; ++s) {
            for (int n = 0; n < t.spec[s].count; ++n, ++g) {
                if (state.Slots[g].photo == p) found.push_back({w, s, n});
            }
        }
    }
    return found;
}

void refreshUsage(AppState& state, int p,
                  const std::function<std::optional<UsageEntry>(const UsageEntry&)>& remap) {
    std::vector<UsageEntry> held = positionsOf(state, p);
    std::vector<UsageEntry> entries;
    for (const UsageEntry& old : parseUsage(state.Photos[p].usage)) {
        const std::optional<UsageEntry> e = remap ? remap(old) : std::optional<UsageEntry>(old);
        if (!e) continue;
        const auto at = std::find(held.begin(), held.end(), *e);
        if (at == held.end()) continue;
        entries.push_back(*e);
        held.erase(at);
    }
    entries.insert(entries.end(), held.begin(), held.end());
    QString usage;
    for (const UsageEntry& e : entries)
        usage += usageText(e);
    state.Photos[p].usage = fitText(usage, kUsageCapacity);
}

void setAllocationCommands(Ui& ui, bool enable) {
    for (int id : {command::AllocateRemaining, command::CopyAllocation, command::ClearAllAllocation,
                   command::AllocateRemainingToCurrent, command::ClearCurrentAllocation,
                   command::CopyCurrentSpec, command::StartCropping})
        ui.setCommandEnabled(id, enable);
}

QString checkInvariants(const AppState& state) {
    const int photos = static_cast<int>(state.Photos.size());
    int expectedFirst = 0;
    for (int w = 0; w < static_cast<int>(state.WorkTemplates.size()); ++w) {
        const WorkTemplate& wt = state.WorkTemplates[w];
        if (wt.template_ < 0 || wt.template_ >= static_cast<int>(state.Templates.size()))
            return QStringLiteral("work template %1 names library template %2").arg(w).arg(wt.template_);
        if (wt.firstSlot != expectedFirst)
            return QStringLiteral("work template %1 starts at %2, not %3")
                .arg(w)
                .arg(wt.firstSlot)
                .arg(expectedFirst);
        expectedFirst += state.Templates[wt.template_].count;
    }
    if (expectedFirst != static_cast<int>(state.Slots.size()))
        return QStringLiteral("%1 positions for templates of %2").arg(state.Slots.size()).arg(expectedFirst);
    std::vector<int> counts(photos, 0);
    for (size_t g = 0; g < state.Slots.size(); ++g) {
        const int p = state.Slots[g].photo;
        if (p < -1 || p >= photos) return QStringLiteral("position %1 holds photo %2").arg(g).arg(p);
        if (p < 0) continue;
        ++counts[p];
        if (state.Slots[g].cropWidth < 1 || state.Slots[g].cropHeight < 1)
            return QStringLiteral("position %1 has a crop of %2 x %3")
                .arg(g)
                .arg(state.Slots[g].cropWidth)
                .arg(state.Slots[g].cropHeight);
    }
    for (int p = 0; p < photos; ++p) {
        const PhotoRecord& photo = state.Photos[p];
        if (photo.useCount != counts[p])
            return QStringLiteral("photo %1 counts %2 uses, holds %3")
                .arg(p)
                .arg(photo.useCount)
                .arg(counts[p]);
        std::vector<UsageEntry> held = positionsOf(state, p);
        const std::vector<UsageEntry> named = parseUsage(photo.usage);
        for (const UsageEntry& e : named) {
            const auto at = std::find(held.begin(), held.end(), e);
            if (at == held.end()) return QStringLiteral("photo %1 usage names %2").arg(p).arg(usageText(e));
            held.erase(at);
        }
        // Only a full text may leave positions out or end in a cut entry.
        const bool full = gbLength(photo.usage) == kUsageCapacity - 1;
        if (!held.empty() && !full)
            return QStringLiteral("photo %1 usage misses %2").arg(p).arg(usageText(held.front()));
        if (!photo.usage.isEmpty() && !photo.usage.endsWith(QLatin1Char('|')) && !full)
            return QStringLiteral("photo %1 usage has a stray tail: %2").arg(p).arg(photo.usage);
    }
    return {};
}

} // namespace zanfold
