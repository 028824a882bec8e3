#include "core/work_history.h"

#include "core/app_state.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>
#include <chrono>
#include <map>

namespace zanfold {

namespace {

bool sameImage(const QImage& a, const QImage& b) {
    return a.cacheKey() == b.cacheKey();
}

// Faces are found, not made: finding them changes nothing of the work (a step keeps them with the rest of
// a record that changed).
bool samePhoto(const PhotoRecord& a, const PhotoRecord& b) {
    return a.index == b.index && a.hasImage == b.hasImage && a.image.file == b.image.file &&
           a.image.orientation == b.image.orientation && a.image.quarterTurns == b.image.quarterTurns &&
           a.image.identity == b.image.identity && sameImage(a.thumb, b.thumb) && a.width == b.width &&
           a.height == b.height && a.thumbWidth == b.thumbWidth && a.thumbHeight == b.thumbHeight &&
           a.stripWidth == b.stripWidth && a.stripHeight == b.stripHeight && a.fileName == b.fileName &&
           a.useCount == b.useCount && a.usage == b.usage && a.orient == b.orient && a.damaged == b.damaged &&
           a.profileUnusable == b.profileUnusable;
}

// The source and output rectangles are worked out again by every crop: they are not the user's work.
bool sameSlot(const SlotRecord& a, const SlotRecord& b) {
    return a.photo == b.photo && a.cropX == b.cropX && a.cropY == b.cropY && a.cropWidth == b.cropWidth &&
           a.cropHeight == b.cropHeight && a.name == b.name && sameImage(a.mask, b.mask) &&
           a.handSet == b.handSet;
}

bool sameWork(const WorkTemplate& a, const WorkTemplate& b) {
    return a.template_ == b.template_ && a.firstSlot == b.firstSlot;
}

// How one list changed. Lists of the same length keep the entries that differ, with their places; a list
// that grew or shrank keeps the run between the part at its start and the part at its end that stayed.
template <class T> struct ListChange {
    bool resized = false;
    size_t length = 0; // of the list on both sides, when not resized
    int head = 0;
    std::vector<int> at;
    std::vector<T> before;
    std::vector<T> after;

    bool empty() const { return !resized && at.empty(); }

    bool fits(const std::vector<T>& list, bool forward) const {
        const size_t expected = (forward ? before : after).size();
        if (!resized) return list.size() == length;
        return static_cast<size_t>(head) + expected <= list.size();
    }

    void apply(std::vector<T>& list, bool forward) const {
        const std::vector<T>& from = forward ? before : after;
        const std::vector<T>& to = forward ? after : before;
        if (!resized) {
            for (size_t k = 0; k < at.size(); ++k)
                list[at[k]] = to[k];
            return;
        }
        list.erase(list.begin() + head, list.begin() + head + static_cast<std::ptrdiff_t>(from.size()));
        list.insert(list.begin() + head, to.begin(), to.end());
    }
};

template <class T, class Same>
ListChange<T> compareLists(const std::vector<T>& a, const std::vector<T>& b, Same same) {
    ListChange<T> change;
    if (a.size() == b.size()) {
        change.length = a.size();
        for (size_t i = 0; i < a.size(); ++i) {
            if (same(a[i], b[i])) continue;
            change.at.push_back(static_cast<int>(i));
            change.before.push_back(a[i]);
            change.after.push_back(b[i]);
        }
        return change;
    }
    change.resized = true;
    const size_t shorter = std::min(a.size(), b.size());
    size_t head = 0;
    while (head < shorter && same(a[head], b[head]))
        ++head;
    size_t tail = 0;
    while (tail < shorter - head && same(a[a.size() - 1 - tail], b[b.size() - 1 - tail]))
        ++tail;
    change.head = static_cast<int>(head);
    change.before.assign(a.begin() + static_cast<std::ptrdiff_t>(head),
                         a.end() - static_cast<std::ptrdiff_t>(tail));
    change.after.assign(b.begin() + static_cast<std::ptrdiff_t>(head),
                        b.end() - static_cast<std::ptrdiff_t>(tail));
    return change;
}

// `first` followed by `second`, as one change; false when either changed a list's length.
template <class T, class Same> bool joinLists(ListChange<T>& first, const ListChange<T>& second, Same same) {
    if (first.resized || second.resized) return false;
    std::map<int, std::pair<T, T>> joined;
    for (size_t k = 0; k < first.at.size(); ++k)
        joined.emplace(first.at[k], std::make_pair(first.before[k], first.after[k]));
    for (size_t k = 0; k < second.at.size(); ++k) {
        const auto found = joined.find(second.at[k]);
        if (found == joined.end())
            joined.emplace(second.at[k], std::make_pair(second.before[k], second.after[k]));
        else
            found->second.second = second.after[k];
    }
    ListChange<T> result;
    result.length = first.length;
    for (const auto& [i, values] : joined) {
        if (same(values.first, values.second)) continue;
        result.at.push_back(i);
        result.before.push_back(values.first);
        result.after.push_back(values.second);
    }
    first = std::move(result);
    return true;
}

// Library template t is gone and later ones moved down: the references follow. False when one named t.
bool followRemoval(std::vector<WorkTemplate>& works, int t) {
    bool kept = true;
    for (WorkTemplate& w : works) {
        if (w.template_ == t) kept = false;
        if (w.template_ > t) --w.template_;
    }
    return kept;
}

WorkFocus focusOf(const AppState& state) {
    return {state.CurrentWork, state.CurrentSpec, state.CurrentSlot, state.CurrentPhoto};
}

long long steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

WorkSnapshot takeSnapshot(const AppState& state) {
    return {state.Photos,           state.Slots,          state.WorkTemplates, state.WorkTabs,
            state.AlbumOrientCount, state.WorkOrientCount};
}

struct WorkHistory::Impl {
    // One step: every list's change and the small values before and after it.
    class Step : public QUndoCommand {
    public:
        Step(Impl& history, const QString& name) : QUndoCommand(name), history_(history) {}

        bool empty() const {
            return photos.empty() && slots.empty() && works.empty() && workTabs[0] == workTabs[1] &&
                   albumOrient[0] == albumOrient[1] && workOrient[0] == workOrient[1];
        }
        bool fits(const AppState& state, bool forward) const {
            return photos.fits(state.Photos, forward) && slots.fits(state.Slots, forward) &&
                   works.fits(state.WorkTemplates, forward);
        }
        void apply(AppState& state, bool forward) const {
            const int k = forward ? 1 : 0;
            photos.apply(state.Photos, forward);
            slots.apply(state.Slots, forward);
            works.apply(state.WorkTemplates, forward);
            state.WorkTabs = workTabs[k];
            state.AlbumOrientCount = albumOrient[k];
            state.WorkOrientCount = workOrient[k];
        }
        bool followRemoval(int t) {
            const bool before = zanfold::followRemoval(works.before, t);
            return zanfold::followRemoval(works.after, t) && before;
        }

        void undo() override { history_.applyStep(*this, false); }
        void redo() override {
            // The first call comes from pushing the step: the action itself already did it.
            if (pushed_) history_.applyStep(*this, true);
            pushed_ = true;
        }
        int id() const override { return mergeKey != 0 ? 1 : -1; }
        bool mergeWith(const QUndoCommand* other) override {
            const auto* next = static_cast<const Step*>(other);
            if (next->mergeKey != mergeKey || next->time - time > kMergeMilliseconds) return false;
            if (!photos.resized && !slots.resized && !works.resized && !next->photos.resized &&
                !next->slots.resized && !next->works.resized) {
                joinLists(photos, next->photos, samePhoto);
                joinLists(slots, next->slots, sameSlot);
                joinLists(works, next->works, sameWork);
                workTabs[1] = next->workTabs[1];
                albumOrient[1] = next->albumOrient[1];
                workOrient[1] = next->workOrient[1];
                focus[1] = next->focus[1];
                time = next->time;
                setObsolete(empty());
                return true;
            }
            return false;
        }

        ListChange<PhotoRecord> photos;
        ListChange<SlotRecord> slots;
        ListChange<WorkTemplate> works;
        QStringList workTabs[2];
        std::array<int, 3> albumOrient[2];
        std::array<int, 3> workOrient[2];
        WorkFocus focus[2];
        long long mergeKey = 0;
        long long time = 0;

    private:
        Impl& history_;
        bool pushed_ = false;
    };

    struct Open {
        WorkSnapshot work;
        WorkFocus focus;
        QString name;
        long long mergeKey = 0;
    };

    QUndoStack stack;
    AppState* target = nullptr; // the work being restored, while undo() or redo() runs
    bool misfit = false;        // a step did not fit the work: the history is dropped
    bool changedBeyondSteps = false;
    std::optional<Open> open;
    std::function<void()> listener;
    std::function<long long()> clock = steadyMilliseconds;

    Impl() { stack.setUndoLimit(kLimit); }

    void notify() const {
        if (listener) listener();
    }

    void applyStep(const Step& step, bool forward) {
        if (!target || misfit) return;
        if (!step.fits(*target, forward)) {
            misfit = true;
            return;
        }
        step.apply(*target, forward);
    }

    // Drops every step; the work stays changed when it was.
    void dropSteps() {
        changedBeyondSteps = changedBeyondSteps || !stack.isClean();
        stack.clear();
    }

    void push(const AppState& state, Open&& from) {
        auto step = std::make_unique<Step>(*this, from.name);
        step->photos = compareLists(from.work.photos, state.Photos, samePhoto);
        step->slots = compareLists(from.work.slots, state.Slots, sameSlot);
        step->works = compareLists(from.work.works, state.WorkTemplates, sameWork);
        step->workTabs[0] = std::move(from.work.workTabs);
        step->workTabs[1] = state.WorkTabs;
        step->albumOrient[0] = from.work.albumOrientCount;
        step->albumOrient[1] = state.AlbumOrientCount;
        step->workOrient[0] = from.work.workOrientCount;
        step->workOrient[1] = state.WorkOrientCount;
        step->focus[0] = from.focus;
        step->focus[1] = focusOf(state);
        step->mergeKey = from.mergeKey;
        step->time = clock();
        if (step->empty()) return;
        stack.push(step.release());
        notify();
    }

    // The step begun and not yet ended becomes a step of its own.
    void commit(const AppState& state) {
        if (!open) return;
        Open from = std::move(*open);
        open.reset();
        push(state, std::move(from));
    }

    std::optional<WorkFocus> move(AppState& state, bool forward) {
        commit(state);
        if (forward ? !stack.canRedo() : !stack.canUndo()) return std::nullopt;
        const auto* step = static_cast<const Step*>(stack.command(stack.index() - (forward ? 0 : 1)));
        const WorkFocus focus = step->focus[forward ? 1 : 0];
        target = &state;
        misfit = false;
        forward ? stack.redo() : stack.undo();
        target = nullptr;
        if (misfit) {
            // Whatever the work now is, it is not known to be the saved one.
            changedBeyondSteps = true;
            dropSteps();
            notify();
            return std::nullopt;
        }
        notify();
        return focus;
    }
};

WorkHistory::WorkHistory() : d_(std::make_unique<Impl>()) {}
WorkHistory::~WorkHistory() = default;
WorkHistory::WorkHistory(WorkHistory&&) noexcept = default;
WorkHistory& WorkHistory::operator=(WorkHistory&&) noexcept = default;

void WorkHistory::record(AppState& state, const QString& name, const std::function<void()>& action,
                         long long mergeKey) {
    // A drag in progress ends its step here and goes on as a new one afterwards.
    std::optional<QString> dragging;
    if (d_->open) {
        dragging = d_->open->name;
        commit(state);
    }
    d_->open = Impl::Open{takeSnapshot(state), focusOf(state), name, mergeKey};
    action();
    commit(state);
    if (dragging) begin(state, *dragging);
}

void WorkHistory::begin(const AppState& state, const QString& name) {
    commit(state);
    d_->open = Impl::Open{takeSnapshot(state), focusOf(state), name, 0};
}

void WorkHistory::commit(const AppState& state) {
    d_->commit(state);
}

std::optional<WorkFocus> WorkHistory::undo(AppState& state) {
    return d_->move(state, false);
}

std::optional<WorkFocus> WorkHistory::redo(AppState& state) {
    return d_->move(state, true);
}

bool WorkHistory::canUndo() const {
    return d_->stack.canUndo();
}

bool WorkHistory::canRedo() const {
    return d_->stack.canRedo();
}

QString WorkHistory::undoName() const {
    return d_->stack.undoText();
}

QString WorkHistory::redoName() const {
    return d_->stack.redoText();
}

int WorkHistory::steps() const {
    return d_->stack.count();
}

void WorkHistory::reset() {
    d_->open.reset();
    d_->stack.clear();
    d_->changedBeyondSteps = false;
    d_->notify();
}

void WorkHistory::markSaved() {
    d_->stack.setClean();
    d_->changedBeyondSteps = false;
    d_->notify();
}

void WorkHistory::markChanged() {
    d_->changedBeyondSteps = true;
    d_->notify();
}

bool WorkHistory::changed() const {
    return d_->changedBeyondSteps || !d_->stack.isClean();
}

void WorkHistory::templateRemoved(int t) {
    bool kept = true;
    for (int i = 0; i < d_->stack.count(); ++i) {
        auto* step = static_cast<Impl::Step*>(const_cast<QUndoCommand*>(d_->stack.command(i)));
        kept = step->followRemoval(t) && kept;
    }
    if (d_->open) kept = followRemoval(d_->open->work.works, t) && kept;
    if (kept) return;
    d_->open.reset();
    d_->dropSteps();
    d_->notify();
}

void WorkHistory::setListener(std::function<void()> listener) {
    d_->listener = std::move(listener);
}

void WorkHistory::setClock(std::function<long long()> clock) {
    d_->clock = std::move(clock);
}

} // namespace zanfold
