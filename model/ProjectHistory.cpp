#include "model/ProjectHistory.h"

#include <utility>

namespace zenka {

namespace {

// The same entries: the counts of lengths and widths follow the lengths and widths, and a
// store recounts them, which is no change of its own.
bool sameEntries(ProjectValues a, const ProjectValues& b) {
    a.lengthCount = b.lengthCount;
    a.widthCount = b.widthCount;
    return a == b;
}

} // namespace

ProjectHistory::ProjectHistory(CPelbrinDoc& doc) : doc_(doc) {
    clear();
}

ProjectHistory::State ProjectHistory::current() const {
    return {doc_.values(), doc_.IsModified(), saves_};
}

std::string ProjectHistory::undoName() const {
    return canUndo() ? steps_[index_ - 1].name : std::string();
}

std::string ProjectHistory::redoName() const {
    return canRedo() ? steps_[index_].name : std::string();
}

void ProjectHistory::push(Step step) {
    steps_.resize(index_);
    steps_.push_back(std::move(step));
    if (steps_.size() > kMostSteps) steps_.erase(steps_.begin());
    index_ = steps_.size();
}

void ProjectHistory::catchUp() {
    if (sameEntries(doc_.values(), known_.values)) return;
    push({"Typing", {}, known_, current()});
    known_ = current();
    groupOpen_ = false;
}

void ProjectHistory::record(const std::string& name, const std::function<void()>& change,
                            const std::string& group) {
    if (busy_) {
        change();
        return;
    }
    catchUp();
    const State before = current();
    busy_ = true;
    change();
    busy_ = false;
    const State after = current();
    // A change that only set the changed mark, or was cancelled, is no step.
    if (sameEntries(after.values, before.values)) {
        known_ = after;
        return;
    }
    const bool joins =
        !group.empty() && groupOpen_ && canUndo() && !canRedo() && steps_.back().group == group;
    if (joins) {
        steps_.back().after = after;
        // Typed back to what it was: nothing left to undo.
        if (sameEntries(steps_.back().before.values, after.values)) {
            steps_.pop_back();
            index_ = steps_.size();
        }
    } else
        push({name, group, before, after});
    groupOpen_ = !group.empty();
    known_ = after;
    tell();
}

void ProjectHistory::restore(const State& state) {
    busy_ = true;
    doc_.setValues(state.values);
    // The views reload, which may mark the project; the mark is put back after them. A save
    // since the state was taken decides the mark by what the file holds.
    doc_.notifyChanged();
    const bool modified =
        state.saves == saves_ ? state.modified : !(haveSaved_ && sameEntries(state.values, saved_));
    doc_.SetModified(modified);
    busy_ = false;
    known_ = current();
    groupOpen_ = false;
}

void ProjectHistory::undo() {
    if (busy_) return;
    catchUp();
    if (!canUndo()) return;
    --index_;
    restore(steps_[index_].before);
    tell();
}

void ProjectHistory::redo() {
    if (busy_) return;
    // Values changed since the last step take the place of what could be redone.
    catchUp();
    if (!canRedo()) return;
    restore(steps_[index_].after);
    ++index_;
    tell();
}

void ProjectHistory::clear() {
    steps_.clear();
    index_ = 0;
    saves_ = 0;
    haveSaved_ = !doc_.IsModified();
    saved_ = doc_.values();
    known_ = current();
    groupOpen_ = false;
    tell();
}

void ProjectHistory::saved() {
    if (busy_) return;
    ++saves_;
    haveSaved_ = true;
    saved_ = doc_.values();
    // A state taken now is the one the file holds: later typing starts a step of its own.
    catchUp();
    known_ = current();
    groupOpen_ = false;
    tell();
}

void ProjectHistory::tell() const {
    if (listener_) listener_();
}

} // namespace zenka
