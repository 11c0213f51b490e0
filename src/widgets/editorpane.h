#pragma once

#include "editorcontrol/memberlistobject.h"
#include "widgets/qsci.h"

#include <QList>
#include <QPixmap>
#include <QUrl>

#include <functional>
#include <memory>

class QsciPrinter;
class PaneLexer;
class CompiledLanguage;
class EditorGlobals;
class LanguageObject;

// The editor pane of the program: the sample pane, the XML pane and the viewer pane. A QScintilla
// editor with the operations the windows use (text, language, margin images, display options, find,
// save, print, change notification) and what users of an editor expect (undo, brace highlighting,
// hyperlinks, member lists, folding). Lines are counted from 0 everywhere.
class EditorPane : public QsciScintilla {
    Q_OBJECT

public:
    // Opens a clicked hyperlink; tests replace it so that no browser starts.
    using LinkOpener = std::function<void(const QUrl &)>;

    explicit EditorPane(QWidget *parent = nullptr);
    ~EditorPane() override;

    // Whole text. Replacing it with an identical text changes nothing and reports nothing; otherwise
    // the undo history starts afresh, the caret and the first visible line are kept where the new text
    // allows, and changed() is emitted once (while reportChanges() is on).
    void setText(const QString &text) override;

    // Colours the text with a compiled language; nullptr shows plain text. The pane keeps its own
    // reference, so the caller may drop or replace the language at any time.
    void setLanguage(std::shared_ptr<const CompiledLanguage> language);
    // Colours with what a language object has loaded; nullptr or an object that loaded nothing: plain.
    void setLanguage(const LanguageObject *object);
    std::shared_ptr<const CompiledLanguage> language() const;
    // Forgets every style; the text is styled again as it comes into view.
    void restyle();
    // The pane's own colours (plain text, unset colours, caret, margins, selection) follow the
    // window's palette, and the language's text colours are made readable on a dark one: right for
    // panes that show a file. Off, the pane is black on white with the language's colours exactly as
    // given, as the target control shows them: right for the sample the user is designing.
    void setFollowsPalette(bool on);
    bool followsPalette() const { return followsPalette_; }
    // Member lists used by tokens whose action asks for them: the members of a list by its name
    // (empty when there is no such list). ListMembers and CompleteWord offer the members in a list;
    // ParameterInfo and QuickInfo show the tip of the member named just before the token.
    using MemberLookup = std::function<QVector<MemberListObject::Member>(const QString &listName)>;
    void setMemberLookup(MemberLookup lookup) { memberLookup_ = std::move(lookup); }
    // A lookup in the registered member lists of a global object, which must outlive the pane.
    static MemberLookup registryLookup(const EditorGlobals *globals);

    // Margin images: image i is drawn for a line whose bit (1 << i) is set; up to eight images.
    static constexpr int kMaxMarginImages = 8;
    void setMarginImages(const QList<QPixmap> &images);
    int marginImageCount() const { return int(marginImages_.size()); }
    // One byte of image bits per line; a line out of range reads 0 and is not written.
    int marginImageBits(int line) const;
    bool setMarginImageBits(int line, int bits);

    // Display options, all on/off.
    void setLeftMarginVisible(bool on);    // the margin that shows the images
    bool leftMarginVisible() const { return leftMargin_; }
    void setWhiteSpaceVisible(bool on);
    bool whiteSpaceVisible() const { return whiteSpace_; }
    void setDropFilesEnabled(bool on);     // dropped files insert their text at the drop point
    bool dropFilesEnabled() const { return dropFiles_; }
    void setLineNumbersVisible(bool on);
    bool lineNumbersVisible() const { return lineNumbers_; }
    void setBoldSelectionLineNumber(bool on); // the number of the caret's line drawn bold
    bool boldSelectionLineNumber() const { return boldLineNumber_; }

    // While off, no change is reported: the XML pane turns it off while its text is replaced.
    void setReportChanges(bool on) { reportChanges_ = on; }
    bool reportChanges() const { return reportChanges_; }

    // Selects the next (or previous) occurrence of a text after (before) the selection, wrapping
    // around, and scrolls it into view. Returns false when the text does not occur.
    bool find(const QString &text, bool forward, bool matchCase);

    // The caret, and a selection, in characters (UTF-16 units) of text, which must be the pane's
    // text; the selection is scrolled into view.
    int caretCharacter(QStringView text) const;
    void selectCharacters(QStringView text, qsizetype start, qsizetype length);

    // Line of the caret, which is where the selection ends when the user selected with the mouse or keys.
    int selectionLine() const;

    // Writes the text to a file in the ANSI code page, atomically. False when it cannot be written.
    bool saveFile(const QString &path) const;

    // Prints the text with its colours as on the screen, without the brace highlight of the caret.
    // False when nothing could be printed.
    bool print(QsciPrinter &printer);

    // Hyperlinks: a click on a hot spot opens its text.
    void setLinkOpener(LinkOpener opener) { linkOpener_ = std::move(opener); }
    bool openLinkAt(int position);

    // Extent [start, end) of the run of one style around a position.
    std::pair<int, int> styleRunAt(int position) const;

    // The lexer adapter, for tests and benchmarks.
    PaneLexer *paneLexer() const { return lexer_; }

Q_SIGNALS:
    // The text changed, by the user or by the program (unless reportChanges() is off).
    void changed();
    // Colouring stopped a regexp token of the language that ran out of steps (a pattern that
    // backtracks without end): it counts as no match there. Once per language given.
    void matchLimitReached(const QString &message);

protected:
    // Ctrl+Tab and Ctrl+Shift+Tab move the focus on, as in every text editor, while Tab itself
    // inserts a tab.
    bool event(QEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void dropEvent(QDropEvent *event) override;

private:
    void onModified(int position, int type, const char *text, int length, int linesAdded, int line,
                    int, int, int, int);
    void onTextChanged();
    void onCursorMoved(int line, int index);
    void onHotspotClick(int position, int modifiers);
    void onCharAdded(int ch);
    void updateLineNumberMargin();
    void refreshMarginNumbers(int fromLine);
    void applyMarginStyles();
    void applyPaneColours();
    void updateBraceHighlight();
    void clearBraceHighlight();
    void showMemberListAt(int position);

    PaneLexer *lexer_ = nullptr;
    MemberLookup memberLookup_;
    QList<QPixmap> marginImages_;
    LinkOpener linkOpener_;
    bool leftMargin_ = true;
    bool whiteSpace_ = false;
    bool dropFiles_ = true;
    bool lineNumbers_ = false;
    bool boldLineNumber_ = false;
    bool reportChanges_ = true;
    bool followsPalette_ = true;
    bool inSetText_ = false;
    QString shownText_;       // the text setText() gave last, while shownValid_
    bool shownValid_ = false; // no edit since
    bool braceShown_ = false;
    int listStart_ = 0;
    int boldLine_ = -1;
    int numberDigits_ = 0;
};
