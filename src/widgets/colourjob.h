#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/scopestate.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// Colours a run of a pane's lines on a worker thread, one after the other from a known scope state,
// so that a definition that is slow on some text never holds up the window: the pane's lexer takes
// each line's styles as they become ready. The lines are a copy; an edit or another language makes
// the job useless, and the lexer then cancels it (it stops before its next line).
class ColourJob {
public:
    struct Line {
        QString text;       // without the line break
        int byteLength = 0; // of the text in UTF-8
        int totalBytes = 0; // with the line break
    };
    struct Result {
        QByteArray styles;  // one style per byte of the line and its break
        ScopeState endState;
        int foldLevel = 0;
    };
    // Called on the worker thread when a line becomes ready and the previous call was acknowledged.
    using Notify = std::function<void()>;
    // Called on the worker thread with a message the first time a regexp token runs out of steps.
    using LimitNotice = std::function<void(const QString &message)>;

    ColourJob(CompiledLanguagePtr language, int generation, int firstLine, ScopeState state, QVector<Line> lines);

    int generation() const { return generation_; }
    int firstLine() const { return firstLine_; }
    int endLine() const { return firstLine_ + int(lines_.size()); } // one past the last line

    void setNotify(Notify notify) { notify_ = std::move(notify); }
    void setLimitNotice(LimitNotice notice) { limitNotice_ = std::move(notice); }

    // Runs on the worker thread.
    void run();
    void cancel() { cancelled_ = true; }
    // The next notification may come.
    void acknowledge() { notified_ = false; }

    // The result of a line of the job, waiting for it until the deadline; false when it is not
    // ready by then (or the job was cancelled before it).
    bool take(int line, QDeadlineTimer deadline, Result &result);
    // Lines ready so far, counted from firstLine().
    int linesReady() const;

    // Appends the styles of one line (and its line break) to `styles`; returns the state at its end
    // and sets the line's fold level. Shared by the worker and by colouring on the window's thread.
    static ScopeState colourLine(Highlighter &highlighter, QStringView text, int byteLength, int totalBytes,
                                 const ScopeState &state, QVector<StyleRun> &runs, QByteArray &styles,
                                 int &foldLevel);
    // The style of text after a line's last token: the open scope's, or the text tokenset's.
    static int endOfLineStyle(const CompiledLanguage *language, const ScopeState &state);

private:
    CompiledLanguagePtr language_;
    const int generation_;
    const int firstLine_;
    const ScopeState state_;
    const QVector<Line> lines_;
    Notify notify_;
    LimitNotice limitNotice_;

    mutable std::mutex mutex_;
    std::condition_variable ready_;
    QVector<Result> results_; // guarded by mutex_
    bool done_ = false;       // guarded by mutex_: no further line will come
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> notified_{false};
};
