#include "widgets/panelexer.h"

#include "widgets/editorpane.h"
#include "widgets/readablecolour.h"
#include "widgets/utf8.h"

#include <QVarLengthArray>
#include <QMetaObject>


namespace {

using Sci = QsciScintillaBase;

QColor toQColor(qint32 bgr, const QColor &fallback)
{
    if (bgr < 0)
        return fallback;
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

} // namespace

int PaneLexer::styleForTokenset(int tokenset)
{
    if (tokenset < 0 || tokenset >= kMaxTokensets)
        return kPlainStyle;
    return tokenset < 31 ? tokenset + 1 : tokenset + 9;
}

int PaneLexer::tokensetForStyle(int style)
{
    if (style >= 1 && style <= 31)
        return style - 1;
    if (style >= 40 && style <= kLastStyle)
        return style - 9;
    return -1;
}

PaneLexer::PaneLexer(EditorPane *pane) : QsciLexerCustom(pane), pane_(pane)
{
    pool_.setMaxThreadCount(1);
    setCompiledLanguage(nullptr);
}

PaneLexer::~PaneLexer()
{
    cancelJob();
    pool_.clear();
    pool_.waitForDone(); // the job running stops after its line
}

void PaneLexer::setPaneDefaults(const QFont &font, const QColor &fore, const QColor &back)
{
    font_ = font;
    fore_ = fore;
    back_ = back;
    setDefaultFont(font);
    setDefaultColor(fore);
    setDefaultPaper(back);
    applyStyles();
}

void PaneLexer::setCompiledLanguage(CompiledLanguagePtr language)
{
    language_ = std::move(language);
    highlighter_ = language_ ? std::make_unique<Highlighter>(language_) : nullptr;
    if (highlighter_)
        highlighter_->setLimitNotice([this](const QString &message) { Q_EMIT matchLimitReached(message); });
    nodes_.clear();
    nodeIndex_.clear();
    nodes_.append(Node{0, {}}); // number 1: the outermost level; 0 stays "unknown"
    lastState_ = ScopeState();
    lastPath_.clear();
    styledLines_ = 0;
    forgetJob();
    applyStyles();
}

QString PaneLexer::description(int style) const
{
    if (style == kPlainStyle)
        return tr("Plain text");
    const int tokenset = tokensetForStyle(style);
    if (tokenset < 0)
        return QString();
    if (language_ && tokenset < language_->tokensetCount())
        return language_->tokensetName(tokenset);
    return tr("Tokenset %1").arg(tokenset);
}

QColor PaneLexer::defaultColor(int) const { return fore_.isValid() ? fore_ : QColor(Qt::black); }
QColor PaneLexer::defaultPaper(int) const { return back_.isValid() ? back_ : QColor(Qt::white); }
QFont PaneLexer::defaultFont(int) const { return font_; }

void PaneLexer::applyStyles()
{
    const QColor fore = defaultColor(0);
    const QColor back = defaultPaper(0);
    for (int style = 0; style <= kLastStyle; ++style) {
        if (style != kPlainStyle && tokensetForStyle(style) < 0)
            continue;
        const int tokenset = tokensetForStyle(style);
        TokensetStyle st;
        if (language_)
            st = (tokenset >= 0 && tokenset < language_->tokensetCount()) ? language_->style(tokenset)
                                                                          : language_->defaultStyle();
        QFont f = font_;
        f.setBold(st.bold);
        f.setItalic(st.italic);
        f.setUnderline(st.underline);
        const QColor text = toQColor(st.fore, fore);
        setColor(readable_ && st.back < 0 ? ReadableColour::on(text, back) : text, style);
        setPaper(toQColor(st.back, back), style);
        setFont(f, style);
    }
}

int PaneLexer::internState(const ScopeState &state)
{
    // Successive lines mostly share their outer scopes: start from the last state's common part.
    int common = 0;
    const int shared = qMin(state.depth(), lastState_.depth());
    while (common < shared && state.at(common) == lastState_.at(common))
        ++common;
    lastPath_.resize(common);
    int id = common > 0 ? lastPath_.at(common - 1) : 1;
    for (int level = common; level < state.depth(); ++level) {
        const ScopeState::Frame &frame = state.at(level);
        const NodeKey key{id, frame.tokenset, frame.token};
        auto it = nodeIndex_.constFind(key);
        if (it == nodeIndex_.constEnd()) {
            nodes_.append(Node{id, frame});
            it = nodeIndex_.insert(key, int(nodes_.size()));
        }
        id = it.value();
        lastPath_.append(id);
    }
    lastState_ = state;
    return id;
}

ScopeState PaneLexer::stateById(int id) const
{
    QVarLengthArray<ScopeState::Frame, 16> frames;
    while (id > 1 && id <= nodes_.size()) {
        const Node &node = nodes_.at(id - 1);
        frames.append(node.frame);
        id = node.parent;
    }
    ScopeState state;
    for (auto it = frames.crbegin(); it != frames.crend(); ++it)
        state.push(*it);
    return state;
}

QString PaneLexer::lineText(int line, int *byteLength) const
{
    const long start = pane_->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long end = pane_->SendScintilla(Sci::SCI_GETLINEENDPOSITION, line);
    const long length = qMax(0L, end - start);
    if (byteLength)
        *byteLength = int(length);
    if (length == 0)
        return QString();
    const char *bytes = reinterpret_cast<const char *>(
        pane_->SendScintilla(Sci::SCI_GETRANGEPOINTER, start, length));
    return bytes ? QString::fromUtf8(bytes, length) : QString();
}

void PaneLexer::styleText(int start, int end)
{
    if (!pane_)
        return;
    const int lineCount = int(pane_->SendScintilla(Sci::SCI_GETLINECOUNT));
    const int docLength = int(pane_->SendScintilla(Sci::SCI_GETLENGTH));
    end = qMin(end, docLength);
    requestedEnd_ = qMax(requestedEnd_, end);
    // Only a job started by this request may hold the window (see startJob()).
    deadline_ = waitAll_ ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(0);
    int line = int(pane_->SendScintilla(Sci::SCI_LINEFROMPOSITION, start));
    // Begin where the state before the line is known.
    while (line > 0 && pane_->SendScintilla(Sci::SCI_GETLINESTATE, line - 1) == 0)
        --line;
    ScopeState state = line > 0 ? stateById(int(pane_->SendScintilla(Sci::SCI_GETLINESTATE, line - 1)))
                                : ScopeState();
    int pos = int(pane_->SendScintilla(Sci::SCI_POSITIONFROMLINE, line));
    const int lastLine = int(pane_->SendScintilla(Sci::SCI_LINEFROMPOSITION, qMax(0, end - 1)));

    for (;;) {
        const int segmentStart = pos;
        styleBytes_.clear();
        int resumeAt = -1;    // a line from which the styles in place are valid again
        bool waiting = false; // the next line is being coloured in the background
        while (line < lineCount) {
            const int next = line + 1 < lineCount
                                 ? int(pane_->SendScintilla(Sci::SCI_POSITIONFROMLINE, line + 1))
                                 : docLength;
            ScopeState endState;
            if (!colourLine(line, state, next - pos, lastLine, endState)) {
                waiting = true;
                break;
            }
            const int id = internState(endState);
            const int old = int(pane_->SendScintilla(Sci::SCI_GETLINESTATE, line));
            if (old != id)
                pane_->SendScintilla(Sci::SCI_SETLINESTATE, line, id);
            const bool wasStyled = line < styledLines_;
            state = endState;
            pos = next;
            ++line;
            if (old == id && wasStyled) {
                // The line ends as it did before: the following lines keep their styles up to the
                // first one edited since.
                int resume = line;
                while (resume < styledLines_ && resume < lineCount
                       && pane_->SendScintilla(Sci::SCI_GETLINESTATE, resume) != 0)
                    ++resume;
                resumeAt = resume;
                break;
            }
            if (pos >= end)
                break;
        }
        startStyling(segmentStart);
        if (!styleBytes_.isEmpty())
            pane_->SendScintilla(Sci::SCI_SETSTYLINGEX, styleBytes_.size(), styleBytes_.constData());
        styledLines_ = qMax(styledLines_, line);
        if (resumeAt < 0 || waiting)
            break; // the requested end, the end of the text, or a line not coloured yet
        // Skip the lines that are still valid; go on with the first edited one if the request reaches it.
        line = resumeAt;
        pos = line < lineCount ? int(pane_->SendScintilla(Sci::SCI_POSITIONFROMLINE, line)) : docLength;
        if (pos >= end || line >= lineCount) {
            startStyling(pos);
            break;
        }
        state = stateById(int(pane_->SendScintilla(Sci::SCI_GETLINESTATE, line - 1)));
    }
}

// Colours a line on this thread, or takes its colours from the background job (starting one for the
// lines up to `lastLine` when none has it); false when the job has not reached the line in time.
bool PaneLexer::colourLine(int line, const ScopeState &state, int totalBytes, int lastLine, ScopeState &endState)
{
    if (!background_ || !highlighter_) {
        endState = styleLine(line, state, totalBytes);
        return true;
    }
    if (!job_ || job_->generation() != generation_ || line < job_->firstLine() || line >= job_->endLine())
        startJob(line, state, qMax(line, lastLine));
    ColourJob::Result result;
    if (!job_->take(line, deadline_, result))
        return false;
    styleBytes_.append(result.styles);
    setFoldLevel(line, result.foldLevel);
    ++linesStyled_;
    endState = result.endState;
    return true;
}

void PaneLexer::startJob(int firstLine, const ScopeState &state, int lastLine)
{
    cancelJob();
    QVector<ColourJob::Line> lines;
    lines.reserve(lastLine - firstLine + 1);
    const int lineCount = int(pane_->SendScintilla(Sci::SCI_GETLINECOUNT));
    const int docLength = int(pane_->SendScintilla(Sci::SCI_GETLENGTH));
    for (int l = firstLine; l <= lastLine && l < lineCount; ++l) {
        ColourJob::Line copy;
        copy.text = lineText(l, &copy.byteLength);
        const int from = int(pane_->SendScintilla(Sci::SCI_POSITIONFROMLINE, l));
        const int to = l + 1 < lineCount ? int(pane_->SendScintilla(Sci::SCI_POSITIONFROMLINE, l + 1)) : docLength;
        copy.totalBytes = to - from;
        lines.append(std::move(copy));
    }
    job_ = std::make_shared<ColourJob>(language_, generation_, firstLine, state, std::move(lines));
    job_->setNotify([this] { QMetaObject::invokeMethod(this, &PaneLexer::jobProgress, Qt::QueuedConnection); });
    job_->setLimitNotice([this](const QString &message) {
        QMetaObject::invokeMethod(this, [this, message] { Q_EMIT matchLimitReached(message); }, Qt::QueuedConnection);
    });
    // A job started now may hold the window for a moment: most texts are coloured by then, and show
    // without a flash of plain text. Lines that take longer arrive afterwards.
    if (!waitAll_)
        deadline_ = QDeadlineTimer(kWaitMs);
    std::shared_ptr<ColourJob> job = job_;
    pool_.start([job] { job->run(); });
}

void PaneLexer::cancelJob()
{
    if (job_)
        job_->cancel();
    job_.reset();
}

// Lines coloured in the background are ready: put them into the pane up to what it asked for.
void PaneLexer::jobProgress()
{
    if (!job_ || job_->generation() != generation_)
        return;
    job_->acknowledge();
    const long endStyled = pane_->SendScintilla(Sci::SCI_GETENDSTYLED);
    const long end = qMin<long>(requestedEnd_, pane_->SendScintilla(Sci::SCI_GETLENGTH));
    if (endStyled < end)
        pane_->SendScintilla(Sci::SCI_COLOURISE, endStyled, end);
    if (!colouringPending())
        Q_EMIT colouringDone();
}

bool PaneLexer::colouringPending() const
{
    if (!background_ || !pane_)
        return false;
    const long end = qMin<long>(requestedEnd_, pane_->SendScintilla(Sci::SCI_GETLENGTH));
    return pane_->SendScintilla(Sci::SCI_GETENDSTYLED) < end;
}

void PaneLexer::setBackground(bool on)
{
    background_ = on;
    forgetJob();
}

// Whatever a running job colours no longer fits the text or the language.
void PaneLexer::forgetJob()
{
    ++generation_;
    requestedEnd_ = 0;
    cancelJob();
}

// Appends the styles of one line (and its line break) to styleBytes_; returns the state at its end.
ScopeState PaneLexer::styleLine(int line, const ScopeState &state, int totalBytes)
{
    int byteLength = 0;
    const QString text = lineText(line, &byteLength);
    ScopeState endState;
    int level = QsciScintillaBase::SC_FOLDLEVELBASE;
    if (highlighter_) {
        endState = ColourJob::colourLine(*highlighter_, text, byteLength, totalBytes, state, runs_, styleBytes_, level);
    } else {
        styleBytes_.append(byteLength, char(kPlainStyle));
        styleBytes_.append(qMax(0, totalBytes - byteLength), char(kPlainStyle));
    }
    setFoldLevel(line, level);
    ++linesStyled_;
    return endState;
}

void PaneLexer::setFoldLevel(int line, int level)
{
    if (pane_->SendScintilla(Sci::SCI_GETFOLDLEVEL, line) != level)
        pane_->SendScintilla(Sci::SCI_SETFOLDLEVEL, line, level);
}

void PaneLexer::textModified(int position, int length, int linesAdded, bool inserted)
{
    Q_UNUSED(length);
    forgetJob();
    const int line = int(pane_->SendScintilla(Sci::SCI_LINEFROMPOSITION, position));
    const int last = inserted ? line + qMax(0, linesAdded) : line;
    for (int l = line; l <= last; ++l)
        pane_->SendScintilla(Sci::SCI_SETLINESTATE, l, 0L);
    if (styledLines_ > line)
        styledLines_ = qMax(line + 1, styledLines_ + linesAdded);
}

ScopeState PaneLexer::stateAtLineStart(int line)
{
    if (line <= 0 || !language_)
        return ScopeState();
    const long lineStart = pane_->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const long endStyled = pane_->SendScintilla(Sci::SCI_GETENDSTYLED);
    if (endStyled < lineStart) {
        waitAll_ = true; // the state is needed now, wherever it is coloured
        pane_->SendScintilla(Sci::SCI_COLOURISE, endStyled, lineStart);
        waitAll_ = false;
    }
    return stateById(int(pane_->SendScintilla(Sci::SCI_GETLINESTATE, line - 1)));
}

QString PaneLexer::lineRuns(int line, QVector<StyleRun> &runs, ScopeState *startState)
{
    const ScopeState state = stateAtLineStart(line);
    if (startState)
        *startState = state;
    const QString text = lineText(line);
    runs.clear();
    if (highlighter_)
        highlighter_->highlightLine(text, state, runs);
    return text;
}

ScopeState PaneLexer::highlightLine(QStringView text, const ScopeState &in, QVector<StyleRun> &runs)
{
    runs.clear();
    if (!highlighter_)
        return ScopeState();
    return highlighter_->highlightLine(text, in, runs);
}
