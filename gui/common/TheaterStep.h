#pragma once

#include <QPointer>
#include <QUndoCommand>

#include <functional>
#include <utility>

namespace gw {

// One change to a theater on the undo stack, made already when it is pushed: `before`
// puts the theater back as it was, `after` makes the change again. Steps of the same
// merge kind and session (the moves of one drag, the keys typed into one box) are one.
class TheaterStep : public QUndoCommand {
public:
    // Merge kinds; kNoMerge steps stand alone.
    enum Merge { kNoMerge = -1, kMoveCentre = 1, kTypeResolution, kTypeSegmentsY };

    TheaterStep(const QString& name, std::function<void()> before, std::function<void()> after,
                Merge merge = kNoMerge, long long session = 0)
        : QUndoCommand(name), m_before(std::move(before)), m_after(std::move(after)), m_merge(merge),
          m_session(session) {}

    void undo() override { m_before(); }
    // The first redo is the push: the change is made already.
    void redo() override {
        if (m_pushed) m_after();
        m_pushed = true;
    }
    int id() const override { return m_merge; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* step = static_cast<const TheaterStep*>(other);
        if (step->m_session != m_session) return false;
        m_after = step->m_after;
        return true;
    }

private:
    std::function<void()> m_before;
    std::function<void()> m_after;
    Merge m_merge;
    long long m_session;
    bool m_pushed = false;
};

// A step between two states of target, each put back with set(target, state) while
// target lives.
template <class Target, class State, class Set>
TheaterStep* StateStep(const QString& name, Target* target, State before, State after, Set set,
                       TheaterStep::Merge merge = TheaterStep::kNoMerge, long long session = 0) {
    const QPointer<Target> guard(target);
    const auto put = [guard, set](State state) {
        return [guard, set, state = std::move(state)] {
            if (guard) set(*guard, state);
        };
    };
    return new TheaterStep(name, put(std::move(before)), put(std::move(after)), merge, session);
}

}  // namespace gw
