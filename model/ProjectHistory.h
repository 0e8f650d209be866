#pragma once

// Undo and redo over whole-project changes. The project is small, so each step keeps the values
// before and after it; undo puts the values back with the changed mark they had.

#include "model/PelbrinDoc.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace zenka {

class ProjectHistory {
public:
    explicit ProjectHistory(CPelbrinDoc& doc);

    // Runs `change` and keeps it as one step named `name` when it changed a value. Typing passes
    // the field as `group`: more typing in the same field joins the step while it is the latest.
    // A change made while another is recorded, or while a step is put back, is part of that.
    void record(const std::string& name, const std::function<void()>& change,
                const std::string& group = {});

    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < steps_.size(); }
    // The name of the step Undo or Redo would take back or do again; empty when there is none.
    std::string undoName() const;
    std::string redoName() const;
    void undo();
    void redo();

    // New and Open: the project starts over, with nothing to go back to.
    void clear();
    // The project was written: its file now holds the values as they are.
    void saved();

    // Told whenever what Undo and Redo offer may have changed.
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

    static constexpr std::size_t kMostSteps = 200;

private:
    struct State {
        ProjectValues values;
        bool modified = false;
        int saves = 0; // saves made when the state was taken
    };
    struct Step {
        std::string name;
        std::string group;
        State before;
        State after;
    };

    State current() const;
    // Values changed outside any step (a field stored by a command) become a step of their own,
    // so that undoing an earlier step cannot lose them.
    void catchUp();
    void push(Step step);
    void restore(const State& state);
    void tell() const;

    CPelbrinDoc& doc_;
    std::vector<Step> steps_;
    std::size_t index_ = 0; // steps done; the rest can be redone
    State known_;           // the project as the last step, undo or redo left it
    int saves_ = 0;
    bool haveSaved_ = false;
    ProjectValues saved_;    // what the project's file holds, when haveSaved_
    bool groupOpen_ = false; // the latest step may take more typing
    bool busy_ = false;      // recording or restoring
    std::function<void()> listener_;
};

} // namespace zenka
