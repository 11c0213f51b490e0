#pragma once

#include <QVector>

// The scopes open at a point of the text, outermost first: what the colouring of a line depends on
// from the lines before it. A value type: copying shares the frames, == compares them.
class ScopeState {
public:
    struct Frame {
        int tokenset = -1; // the scope tokenset
        int token = -1;    // index of the start token (in its tokens list) that opened the scope
        friend bool operator==(const Frame &, const Frame &) = default;
    };

    bool isOutermost() const { return frames_.isEmpty(); }
    int depth() const { return int(frames_.size()); }
    const Frame &at(int level) const { return frames_.at(level); }
    const Frame &innermost() const { return frames_.constLast(); }
    // The innermost open scope tokenset, or -1 at the outermost level.
    int innermostTokenset() const { return frames_.isEmpty() ? -1 : frames_.constLast().tokenset; }

    void push(const Frame &frame) { frames_.append(frame); }
    void pop() { frames_.removeLast(); }
    void truncate(int depth) { frames_.resize(depth); }

    friend bool operator==(const ScopeState &a, const ScopeState &b) { return a.frames_ == b.frames_; }

private:
    QVector<Frame> frames_;
};
