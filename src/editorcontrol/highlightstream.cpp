#include "editorcontrol/highlightstream.h"

namespace HighlightStream {

bool run(TextSource &source, Highlighter &highlighter, TextRenderer &renderer)
{
    ScopeState state;
    QStringView line, lineBreak;
    const Highlighter::RunSink sink = [&](const StyleRun *runs, qsizetype count) { renderer.writeRuns(line, runs, count); };
    while (!renderer.failed() && source.next(line, lineBreak)) {
        if (line.isEmpty()) // about one line in eight
            highlighter.passEmptyLine(state);
        else
            state = highlighter.highlightLine(line, std::move(state), sink, source.pairsWhole()); // grown in place, not copied
        // A line break takes the style of the scope that stays open across it.
        renderer.writeBreak(lineBreak, highlighter.contentTokenset(state));
    }
    const bool finished = renderer.finish();
    return finished && source.problem().isEmpty();
}

} // namespace HighlightStream
