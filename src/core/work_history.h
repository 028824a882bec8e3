#pragma once

#include "core/records.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zanfold {

struct AppState;

// The work as a step of the history restores it: the album's records (order, turns, use counts, usage
// texts), the positions with their photos and crops, the working templates with their tabs, and the
// orientation counters. The specification tabs are not part of it: they show the template on screen.
struct WorkSnapshot {
    std::vector<PhotoRecord> photos;
    std::vector<SlotRecord> slots;
    std::vector<WorkTemplate> works;
    QStringList workTabs;
    std::array<int, 3> albumOrientCount{};
    std::array<int, 3> workOrientCount{};
};

WorkSnapshot takeSnapshot(const AppState& state);

// What the user had selected when a step began or ended; shown again when it is undone or redone.
struct WorkFocus {
    int work = -1;
    int spec = 0;
    int slot = -1;
    int photo = -1;
};

// The undo history of the work: one step per user action that changed it. A step keeps only the records
// that differ, so a long history of crop edits costs little memory. The history belongs to one AppState.
class WorkHistory {
public:
    static constexpr int kLimit = 256; // steps kept; the oldest go first
    static constexpr int kMergeMilliseconds = 1000;

    WorkHistory();
    ~WorkHistory();
    WorkHistory(WorkHistory&&) noexcept;
    WorkHistory& operator=(WorkHistory&&) noexcept;

    // Runs a user action and records what it changed as one step called `name`; nothing when it changed
    // nothing. A step with the same non-zero merge key as the step before, within a second of it, joins
    // that step (successive wheel zooms of one position).
    void record(AppState& state, const QString& name, const std::function<void()>& action,
                long long mergeKey = 0);
    // A step that lasts over several events (a crop drag from press to release): begin() remembers the
    // work, commit() records what changed since. Other actions meanwhile become their own steps.
    void begin(const AppState& state, const QString& name);
    void commit(const AppState& state);

    // Takes the last step back (or does the next one again) and returns what was selected at that point;
    // nothing when there was no step. A history that no longer fits the work is dropped, not applied.
    std::optional<WorkFocus> undo(AppState& state);
    std::optional<WorkFocus> redo(AppState& state);
    bool canUndo() const;
    bool canRedo() const;
    QString undoName() const;
    QString redoName() const;
    int steps() const;

    // A new work (imported or opened): no steps, nothing unsaved.
    void reset();
    // The work was saved: this point is the unchanged one.
    void markSaved();
    // The work differs from its file in a way no step records (an opened project found its album elsewhere):
    // it counts as changed until it is saved.
    void markChanged();
    // The work differs from the one imported, opened or last saved.
    bool changed() const;

    // Library template t left the template list and later ones moved down: the steps follow. Steps that
    // would bring it back into the work cannot be kept.
    void templateRemoved(int t);

    // Called whenever the steps or the saved point change.
    void setListener(std::function<void()> listener);
    // Milliseconds of a steady clock, for merging; tests set their own.
    void setClock(std::function<long long()> clock);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace zanfold
