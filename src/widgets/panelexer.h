#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/scopestate.h"

#include "widgets/colourjob.h"
#include "widgets/qsci.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QThreadPool>
#include <QFont>
#include <QHash>
#include <QVector>

#include <memory>

class EditorPane;

// Styles an editor pane with the colouring engine. The scope state at the end of each line is kept
// in the editor's line state (as a number of a table of distinct states), so an edit re-styles from
// its first line and stops as soon as a line ends in the state it ended in before.
//
// With background colouring on, lines are coloured on a worker thread (see ColourJob): a request for
// styles waits a moment for them and otherwise leaves the rest to arrive later, so a definition that
// is slow on the text never freezes the window. Requests that need a line's state now still wait.
//
// Style numbers: 0 is plain text, tokenset i is style i + 1 for i < 31 and i + 9 above (skipping the
// editor's own styles 32 to 39), so 51 tokensets take styles 1 to 31 and 40 to 59.
class PaneLexer : public QsciLexerCustom {
    Q_OBJECT

public:
    static constexpr int kPlainStyle = 0;
    static constexpr int kMaxTokensets = 51;
    static constexpr int kLastStyle = 59;
    static int styleForTokenset(int tokenset);
    static int tokensetForStyle(int style); // -1 for plain text and styles that are not ours

    explicit PaneLexer(EditorPane *pane);
    ~PaneLexer() override;

    // Switching the language forgets every stored state; the pane re-styles afterwards.
    void setCompiledLanguage(CompiledLanguagePtr language);
    const CompiledLanguagePtr &compiledLanguage() const { return language_; }

Q_SIGNALS:
    // A regexp token of the language ran out of steps while styling (once per language given).
    void matchLimitReached(const QString &message);
    // Lines coloured in the background have reached what the pane asked for.
    void colouringDone();

public:

    // The styles in the editor are about to be cleared: nothing styled so far counts any more.
    void forgetStyles()
    {
        styledLines_ = 0;
        forgetJob();
    }

    // Colouring on a worker thread, for a pane whose text and language the user chooses freely.
    void setBackground(bool on);
    bool background() const { return background_; }
    // Lines the pane asked for are still being coloured in the background.
    bool colouringPending() const;

    // The pane's default font and colours: plain text, and what an unset colour falls back to.
    void setPaneDefaults(const QFont &font, const QColor &fore, const QColor &back);
    // On: a text colour of the language too close to the pane's background (a dark blue on a dark
    // pane) is drawn with its lightness turned over, keeping its hue. Takes effect with the defaults.
    void setReadableOn(bool on) { readable_ = on; }

    const char *language() const override { return "Varlex"; }
    QString description(int style) const override;
    QColor defaultColor(int style) const override;
    QColor defaultPaper(int style) const override;
    QFont defaultFont(int style) const override;
    int styleBitsNeeded() const override { return 8; }
    void styleText(int start, int end) override;

    // Told by the pane about every insertion and deletion, before styling resumes.
    void textModified(int position, int length, int linesAdded, bool inserted);

    // The scope state at the start of a line, styling the text before it when needed.
    ScopeState stateAtLineStart(int line);
    // Runs of one line (offsets in characters of the line's text); returns the line's text.
    QString lineRuns(int line, QVector<StyleRun> &runs, ScopeState *startState = nullptr);
    // The text of a line without its line break.
    QString lineText(int line, int *byteLength = nullptr) const;
    // Colours a piece of text from a state, without touching the editor; returns the state after it.
    ScopeState highlightLine(QStringView text, const ScopeState &in, QVector<StyleRun> &runs);

    // Test hook: how many lines styleText() has coloured since the last reset.
    int linesStyled() const { return linesStyled_; }
    void resetLinesStyled() { linesStyled_ = 0; }

private:
    int internState(const ScopeState &state);
    ScopeState stateById(int id) const;
    ScopeState styleLine(int line, const ScopeState &state, int totalBytes);
    bool colourLine(int line, const ScopeState &state, int totalBytes, int lastLine, ScopeState &endState);
    void setFoldLevel(int line, int level);
    void startJob(int firstLine, const ScopeState &state, int lastLine);
    void cancelJob();
    void forgetJob();
    void jobProgress();
    void applyStyles();

    EditorPane *pane_;
    CompiledLanguagePtr language_;
    std::unique_ptr<Highlighter> highlighter_;
    QFont font_;
    QColor fore_;
    QColor back_;
    bool readable_ = false;

    // Distinct scope states by number, each a node that adds one open scope to its parent's, so deep
    // nesting costs one node per state rather than a copy of the whole stack. Number 1 is the
    // outermost level; line state 0 means "unknown" (never styled, or edited since).
    struct Node {
        int parent = 0;
        ScopeState::Frame frame;
    };
    struct NodeKey {
        int parent;
        int tokenset;
        int token;
        friend bool operator==(const NodeKey &, const NodeKey &) = default;
        friend size_t qHash(const NodeKey &k, size_t seed = 0) { return qHashMulti(seed, k.parent, k.tokenset, k.token); }
    };
    QVector<Node> nodes_;
    QHash<NodeKey, int> nodeIndex_;
    ScopeState lastState_;   // the state interned last
    QVector<int> lastPath_;  // its node at each level
    // Lines before this one have been styled with the current language at some time.
    int styledLines_ = 0;
    int linesStyled_ = 0;
    QVector<StyleRun> runs_;
    QByteArray styleBytes_;

    // How long a request that starts a background job waits for its lines.
    static constexpr int kWaitMs = 40;
    bool background_ = false;
    bool waitAll_ = false;      // a request that needs every line it asks for
    int generation_ = 0;        // counts texts and languages: a job of another one is of no use
    int requestedEnd_ = 0;      // the furthest position asked for in this generation
    QDeadlineTimer deadline_;   // until when the current request waits for background lines
    std::shared_ptr<ColourJob> job_;
    QThreadPool pool_;          // one thread: a job left behind ends its line before the next starts
};
