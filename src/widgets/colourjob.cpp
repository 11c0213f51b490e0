#include "widgets/colourjob.h"

#include "widgets/panelexer.h"
#include "widgets/qsci.h"
#include "widgets/utf8.h"

#include <chrono>

ColourJob::ColourJob(CompiledLanguagePtr language, int generation, int firstLine, ScopeState state,
                     QVector<Line> lines)
    : language_(std::move(language))
    , generation_(generation)
    , firstLine_(firstLine)
    , state_(std::move(state))
    , lines_(std::move(lines))
{
}

void ColourJob::run()
{
    Highlighter highlighter(language_);
    if (limitNotice_)
        highlighter.setLimitNotice(limitNotice_);
    QVector<StyleRun> runs;
    ScopeState state = state_;
    for (const Line &line : lines_) {
        if (cancelled_)
            break;
        Result result;
        result.endState = colourLine(highlighter, line.text, line.byteLength, line.totalBytes, state, runs,
                                     result.styles, result.foldLevel);
        state = result.endState;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            results_.append(std::move(result));
        }
        ready_.notify_all();
        if (notify_ && !notified_.exchange(true))
            notify_();
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    }
    ready_.notify_all();
}

bool ColourJob::take(int line, QDeadlineTimer deadline, Result &result)
{
    const int index = line - firstLine_;
    if (index < 0 || index >= lines_.size())
        return false;
    std::unique_lock<std::mutex> lock(mutex_);
    const auto there = [&] { return index < results_.size() || done_; };
    if (deadline.isForever())
        ready_.wait(lock, there);
    else
        ready_.wait_for(lock, std::chrono::milliseconds(qMax<qint64>(0, deadline.remainingTime())), there);
    if (index >= results_.size())
        return false;
    result = results_.at(index);
    return true;
}

int ColourJob::linesReady() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return int(results_.size());
}

int ColourJob::endOfLineStyle(const CompiledLanguage *language, const ScopeState &state)
{
    if (!language)
        return PaneLexer::kPlainStyle;
    const int open = state.innermostTokenset();
    return PaneLexer::styleForTokenset(open >= 0 ? open : language->textTokenset());
}

ScopeState ColourJob::colourLine(Highlighter &highlighter, QStringView text, int byteLength, int totalBytes,
                                 const ScopeState &state, QVector<StyleRun> &runs, QByteArray &styles,
                                 int &foldLevel)
{
    const CompiledLanguage *language = highlighter.language().get();
    const ScopeState endState = highlighter.highlightLine(text, state, runs);
    const bool ascii = byteLength == text.size();
    int written = 0;
    for (const StyleRun &run : std::as_const(runs)) {
        const int from = qBound(0, run.start, int(text.size()));
        const int len = qBound(0, run.length, int(text.size()) - from);
        int bytes = ascii ? len : Utf8::byteLength(text.mid(from, len));
        bytes = qMin(bytes, byteLength - written);
        styles.append(bytes, char(PaneLexer::styleForTokenset(run.tokenset)));
        written += bytes;
    }
    if (written < byteLength)
        styles.append(byteLength - written, char(endOfLineStyle(language, state)));
    styles.append(qMax(0, totalBytes - byteLength), char(endOfLineStyle(language, endState)));

    // Fold levels follow the depth of open scopes, capped at the deepest the editor can hold.
    foldLevel = QsciScintillaBase::SC_FOLDLEVELBASE + qMin(state.depth(), 0xBFF);
    if (endState.depth() > state.depth())
        foldLevel |= QsciScintillaBase::SC_FOLDLEVELHEADERFLAG;
    return endState;
}
