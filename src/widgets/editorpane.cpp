#include "widgets/editorpane.h"

#include "editorcontrol/editorglobals.h"
#include "editorcontrol/languageobject.h"
#include "widgets/panelexer.h"
#include "widgets/utf8.h"
#include "model/ansicodec.h"
#include "model/atomicfile.h"


#include <algorithm>

#include <QDesktopServices>
#include <QFile>
#include <QFontDatabase>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace {

using Sci = QsciScintillaBase;

constexpr int kNumberMargin = 0;
constexpr int kImageMargin = 1;
constexpr int kFoldMargin = 2;
constexpr int kImageMarginWidth = 18;
constexpr int kNumberStyle = 60;
constexpr int kBoldNumberStyle = 61;
constexpr int kBraceIndicator = 9;
constexpr int kBadBraceIndicator = 10;
constexpr int kMemberListId = 1;
constexpr int kMaxBraceScanLines = 5000;
constexpr qint64 kMaxDroppedFileSize = 16 * 1024 * 1024;

bool allLocalFiles(const QMimeData *source)
{
    if (!source || !source->hasUrls() || source->urls().isEmpty())
        return false;
    for (const QUrl &url : source->urls()) {
        if (!url.isLocalFile())
            return false;
    }
    return true;
}

// Whether a token of the language can open a member list: none can without a list named.
bool namesMemberList(const CompiledLanguage &language)
{
    const LanguageDefinition &def = language.definition();
    if (!def.memberlist.isEmpty())
        return true;
    return std::any_of(def.tokensets.cbegin(), def.tokensets.cend(),
                       [](const TokensetDefinition &ts) { return !ts.memberlist.isEmpty(); });
}

bool matchesBraces(const CompiledLanguage &language)
{
    for (int tokenset = 0; tokenset < language.tokensetCount(); ++tokenset) {
        if (language.matchBraces(tokenset))
            return true;
    }
    return false;
}

QUrl linkUrl(const QString &text)
{
    if (text.contains(QLatin1String("://")) || text.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        return QUrl(text, QUrl::StrictMode);
    if (text.contains(QLatin1Char('@')) && !text.contains(QLatin1Char('/')))
        return QUrl(QLatin1String("mailto:") + text, QUrl::StrictMode);
    return QUrl::fromUserInput(text);
}

} // namespace

EditorPane::EditorPane(QWidget *parent) : QsciScintilla(parent)
{
    setUtf8(true);
    setEolMode(EolWindows); // the program's texts and files break lines with CR LF
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    lexer_ = new PaneLexer(this);
    lexer_->setPaneDefaults(font, Qt::black, Qt::white);
    setLexer(lexer_);
    applyPaneColours();
    setAutoCompletionSource(AcsNone);
    setBraceMatching(NoBraceMatch);
    setAutoIndent(true);
    setHotspotUnderline(true);
    SendScintilla(SCI_AUTOCSETORDER, SC_ORDER_PERFORMSORT);
    SendScintilla(SCI_AUTOCSETIGNORECASE, 1);
    // The horizontal scroll bar follows the longest line shown rather than a fixed width.
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);

    setMarginType(kNumberMargin, NumberMargin);
    setMarginWidth(kNumberMargin, 0);
    setMarginType(kImageMargin, SymbolMargin);
    setMarginMarkerMask(kImageMargin, 0xFF);
    for (int i = 0; i < kMaxMarginImages; ++i)
        markerDefine(Invisible, i);
    setFolding(BoxedTreeFoldStyle, kFoldMargin);
    applyMarginStyles();

    indicatorDefine(StraightBoxIndicator, kBraceIndicator);
    setIndicatorForegroundColor(QColor(0, 160, 0, 70), kBraceIndicator);
    setIndicatorOutlineColor(QColor(0, 160, 0, 200), kBraceIndicator);
    setIndicatorDrawUnder(true, kBraceIndicator);
    indicatorDefine(StraightBoxIndicator, kBadBraceIndicator);
    setIndicatorForegroundColor(QColor(220, 0, 0, 70), kBadBraceIndicator);
    setIndicatorOutlineColor(QColor(220, 0, 0, 200), kBadBraceIndicator);
    setIndicatorDrawUnder(true, kBadBraceIndicator);

    linkOpener_ = [](const QUrl &url) { QDesktopServices::openUrl(url); };

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &EditorPane::onModified);
    connect(lexer_, &PaneLexer::matchLimitReached, this, &EditorPane::matchLimitReached);
    connect(lexer_, &PaneLexer::colouringDone, this, &EditorPane::updateBraceHighlight);
    connect(this, &QsciScintilla::cursorPositionChanged, this, &EditorPane::onCursorMoved);
    connect(this, &QsciScintillaBase::SCN_HOTSPOTCLICK, this, &EditorPane::onHotspotClick);
    connect(this, &QsciScintillaBase::SCN_CHARADDED, this, &EditorPane::onCharAdded);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (SC_UPDATE_SELECTION | SC_UPDATE_CONTENT))
            updateBraceHighlight();
    });
    connect(this, &QsciScintilla::userListActivated, this, [this](int id, const QString &member) {
        if (id != kMemberListId)
            return;
        const int caret = int(SendScintilla(SCI_GETCURRENTPOS));
        SendScintilla(SCI_SETSEL, qMin(listStart_, caret), caret);
        replaceSelectedText(member);
    });

    setLeftMarginVisible(true);
}

EditorPane::~EditorPane() = default;

// ---- text and change notification

void EditorPane::setText(const QString &text)
{
    // The text the program set last stands for the pane's text until the user edits it.
    const QString current = shownValid_ ? shownText_ : QsciScintilla::text();
    if (text == current)
        return;
    const int firstLine = firstVisibleLine();
    const int caret = int(SendScintilla(SCI_GETCURRENTPOS));
    const int caretLine = int(SendScintilla(SCI_LINEFROMPOSITION, caret));
    const int caretColumn = caret - int(SendScintilla(SCI_POSITIONFROMLINE, caretLine));

    // New line breaks follow the text's own, so a sample never mixes two kinds.
    qsizetype lineBreak = 0;
    while (lineBreak < text.size() && text.at(lineBreak) != QLatin1Char('\r') && text.at(lineBreak) != QLatin1Char('\n'))
        ++lineBreak;
    if (lineBreak < text.size()) {
        if (text.at(lineBreak) == QLatin1Char('\n'))
            setEolMode(EolUnix);
        else
            setEolMode(text.mid(lineBreak, 2) == QLatin1String("\r\n") ? EolWindows : EolMac);
    }

    // Only the part between what the two texts begin and end with is replaced, so a regenerated
    // definition that differs in one tokenset costs that tokenset, not the whole text.
    const qsizetype shorter = qMin(text.size(), current.size());
    qsizetype head = 0;
    while (head < shorter && text.at(head) == current.at(head))
        ++head;
    if (head > 0 && text.at(head - 1).isHighSurrogate())
        --head;
    qsizetype tail = 0;
    while (tail < shorter - head && text.at(text.size() - 1 - tail) == current.at(current.size() - 1 - tail))
        ++tail;
    if (tail > 0 && text.at(text.size() - tail).isLowSurrogate())
        --tail;
    const long from = Utf8::byteLength(QStringView(current).left(head));
    const long to = from + Utf8::byteLength(QStringView(current).mid(head, current.size() - head - tail));
    const QByteArray middle = QStringView(text).mid(head, text.size() - head - tail).toUtf8();
    inSetText_ = true;
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(middle.size()), middle.constData());
    inSetText_ = false;
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    shownText_ = text;
    shownValid_ = true;

    const int line = qMin(caretLine, lines() - 1);
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, line);
    const long pos = qMin(lineStart + caretColumn, SendScintilla(SCI_GETLINEENDPOSITION, line));
    const bool onCharacter = SendScintilla(SCI_POSITIONBEFORE, pos + 1) == pos; // not inside a UTF-8 sequence
    SendScintilla(SCI_GOTOPOS, onCharacter ? pos : lineStart);
    setFirstVisibleLine(firstLine);
    if (reportChanges_)
        Q_EMIT changed();
}

void EditorPane::onModified(int position, int type, const char *, int length, int linesAdded, int, int,
                            int, int, int)
{
    const bool inserted = type & SC_MOD_INSERTTEXT;
    if (!inserted && !(type & SC_MOD_DELETETEXT))
        return;
    lexer_->textModified(position, length, linesAdded, inserted);
    if (linesAdded != 0 && lineNumbers_) {
        updateLineNumberMargin();
        if (boldLineNumber_)
            refreshMarginNumbers(int(SendScintilla(SCI_LINEFROMPOSITION, position)));
    }
    if (inSetText_)
        return;
    shownValid_ = false;
    if (reportChanges_)
        Q_EMIT changed();
}

// ---- language

void EditorPane::setLanguage(std::shared_ptr<const CompiledLanguage> language)
{
    lexer_->setCompiledLanguage(std::move(language));
    const CompiledLanguagePtr &lang = lexer_->compiledLanguage();
    for (int style = 0; style <= PaneLexer::kLastStyle; ++style) {
        const int tokenset = PaneLexer::tokensetForStyle(style);
        const bool link = lang && tokenset >= 0 && tokenset < lang->tokensetCount()
                          && lang->style(tokenset).hyperlink;
        SendScintilla(SCI_STYLESETHOTSPOT, style, long(link));
    }
    restyle();
    updateBraceHighlight();
}

void EditorPane::restyle()
{
    lexer_->forgetStyles();
    SendScintilla(SCI_CLEARDOCUMENTSTYLE); // also marks the text as styled...
    SendScintilla(SCI_STARTSTYLING, 0L, 0L); // ...so ask for styling from the start again
    viewport()->update();
}

void EditorPane::setLanguage(const LanguageObject *object)
{
    if (!object || !object->isLoaded() || !object->definition())
        setLanguage(CompiledLanguagePtr());
    else
        setLanguage(CompiledLanguage::compile(*object->definition()));
}

std::shared_ptr<const CompiledLanguage> EditorPane::language() const
{
    return lexer_->compiledLanguage();
}

// ---- margin images

void EditorPane::setMarginImages(const QList<QPixmap> &images)
{
    marginImages_ = images.mid(0, kMaxMarginImages);
    for (int i = 0; i < kMaxMarginImages; ++i) {
        if (i < marginImages_.size() && !marginImages_.at(i).isNull()) {
            QPixmap pm = marginImages_.at(i);
            if (pm.width() > 16 || pm.height() > 16)
                pm = pm.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            markerDefine(pm, i);
        } else {
            markerDefine(Invisible, i);
        }
    }
}

int EditorPane::marginImageBits(int line) const
{
    if (line < 0 || line >= lines())
        return 0;
    return int(SendScintilla(SCI_MARKERGET, line) & 0xFF);
}

bool EditorPane::setMarginImageBits(int line, int bits)
{
    if (line < 0 || line >= lines())
        return false;
    const int old = marginImageBits(line);
    for (int i = 0; i < kMaxMarginImages; ++i) {
        const int bit = 1 << i;
        if ((bits & bit) && !(old & bit))
            SendScintilla(SCI_MARKERADD, line, i);
        else if (!(bits & bit) && (old & bit))
            SendScintilla(SCI_MARKERDELETE, line, i);
    }
    return true;
}

// ---- display options

void EditorPane::setLeftMarginVisible(bool on)
{
    leftMargin_ = on;
    setMarginWidth(kImageMargin, on ? kImageMarginWidth : 0);
}

void EditorPane::setWhiteSpaceVisible(bool on)
{
    whiteSpace_ = on;
    setWhitespaceVisibility(on ? WsVisible : WsInvisible);
}

void EditorPane::setDropFilesEnabled(bool on)
{
    dropFiles_ = on;
}

void EditorPane::setLineNumbersVisible(bool on)
{
    lineNumbers_ = on;
    updateLineNumberMargin();
}

void EditorPane::setBoldSelectionLineNumber(bool on)
{
    boldLineNumber_ = on;
    updateLineNumberMargin();
}

void EditorPane::setFollowsPalette(bool on)
{
    if (followsPalette_ == on)
        return;
    followsPalette_ = on;
    applyPaneColours();
}

void EditorPane::applyPaneColours()
{
    const QPalette p = palette();
    const QColor text = followsPalette_ ? p.color(QPalette::Text) : QColor(Qt::black);
    const QColor base = followsPalette_ ? p.color(QPalette::Base) : QColor(Qt::white);
    lexer_->setReadableOn(followsPalette_);
    lexer_->setPaneDefaults(lexer_->defaultFont(0), text, base);
    setCaretForegroundColor(text);
    setMarginsForegroundColor(p.color(QPalette::WindowText));
    setMarginsBackgroundColor(p.color(QPalette::Window));
    setFoldMarginColors(p.color(QPalette::Window), p.color(QPalette::Window));
    setSelectionBackgroundColor(p.color(QPalette::Highlight));
    setSelectionForegroundColor(p.color(QPalette::HighlightedText));
    recolor();
    applyMarginStyles();
}

void EditorPane::applyMarginStyles()
{
    const QFont f = lexer_->defaultFont(0);
    const QByteArray family = f.family().toUtf8();
    const long fore = SendScintilla(SCI_STYLEGETFORE, STYLE_LINENUMBER);
    const long back = SendScintilla(SCI_STYLEGETBACK, STYLE_LINENUMBER);
    for (int style : {kNumberStyle, kBoldNumberStyle}) {
        SendScintilla(SCI_STYLESETFONT, style, family.constData());
        SendScintilla(SCI_STYLESETSIZE, style, long(qMax(1, f.pointSize())));
        SendScintilla(SCI_STYLESETFORE, style, fore);
        SendScintilla(SCI_STYLESETBACK, style, back);
        SendScintilla(SCI_STYLESETBOLD, style, long(style == kBoldNumberStyle));
    }
}

// Line numbers are Scintilla's own number margin; with the caret's number in bold they become a text
// margin, since the number margin draws every number in one style.
void EditorPane::updateLineNumberMargin()
{
    if (!lineNumbers_) {
        setMarginWidth(kNumberMargin, 0);
        if (marginType(kNumberMargin) != NumberMargin) {
            setMarginType(kNumberMargin, NumberMargin);
            SendScintilla(SCI_MARGINTEXTCLEARALL);
        }
        return;
    }
    const int digits = qMax(2, int(QString::number(lines()).size()));
    if (digits != numberDigits_ || marginWidth(kNumberMargin) == 0) {
        numberDigits_ = digits;
        setMarginWidth(kNumberMargin, QString(digits + 1, QLatin1Char('9')));
    }
    if (boldLineNumber_) {
        if (marginType(kNumberMargin) != TextMarginRightJustified) {
            setMarginType(kNumberMargin, TextMarginRightJustified);
            refreshMarginNumbers(0);
        }
    } else if (marginType(kNumberMargin) != NumberMargin) {
        setMarginType(kNumberMargin, NumberMargin);
        SendScintilla(SCI_MARGINTEXTCLEARALL);
    }
}

void EditorPane::refreshMarginNumbers(int fromLine)
{
    if (!lineNumbers_ || !boldLineNumber_)
        return;
    boldLine_ = selectionLine();
    const int count = lines();
    for (int line = qMax(0, fromLine); line < count; ++line) {
        const QByteArray number = QByteArray::number(line + 1);
        SendScintilla(SCI_MARGINSETTEXT, line, number.constData());
        SendScintilla(SCI_MARGINSETSTYLE, line, long(line == boldLine_ ? kBoldNumberStyle : kNumberStyle));
    }
}

void EditorPane::onCursorMoved(int line, int)
{
    if (!lineNumbers_ || !boldLineNumber_ || line == boldLine_)
        return;
    if (boldLine_ >= 0 && boldLine_ < lines())
        SendScintilla(SCI_MARGINSETSTYLE, boldLine_, long(kNumberStyle));
    boldLine_ = line;
    SendScintilla(SCI_MARGINSETSTYLE, line, long(kBoldNumberStyle));
}

// ---- keyboard

bool EditorPane::event(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        applyPaneColours();
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && (key->modifiers() & Qt::ControlModifier)) {
            if (event->type() == QEvent::KeyPress) {
                const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
                // The editor's own override keeps the focus so that Tab can insert; go past it.
                QWidget::focusNextPrevChild(!back);
            }
            event->accept();
            return true;
        }
    }
    return QsciScintilla::event(event);
}

// ---- dropped files

bool EditorPane::canInsertFromMimeData(const QMimeData *source) const
{
    if (allLocalFiles(source))
        return dropFiles_;
    return QsciScintilla::canInsertFromMimeData(source);
}

void EditorPane::dropEvent(QDropEvent *event)
{
    const QMimeData *mime = event->mimeData();
    if (!allLocalFiles(mime)) {
        QsciScintilla::dropEvent(event);
        return;
    }
    if (!dropFiles_ || isReadOnly()) {
        event->ignore();
        return;
    }
    QString text;
    for (const QUrl &url : mime->urls()) {
        QFile file(url.toLocalFile());
        if (file.size() > kMaxDroppedFileSize || !file.open(QIODevice::ReadOnly))
            continue;
        text += AnsiCodec::decode(file.readAll());
    }
    event->acceptProposedAction();
    if (text.isEmpty())
        return;
    const QPointF at = event->position();
    long pos = SendScintilla(SCI_POSITIONFROMPOINT, long(at.x()), long(at.y()));
    pos = qBound(0L, pos, SendScintilla(SCI_GETLENGTH));
    const QByteArray bytes = text.toUtf8();
    SendScintilla(SCI_INSERTTEXT, pos, bytes.constData());
    SendScintilla(SCI_GOTOPOS, long(pos + bytes.size()));
}

// ---- find, selection, save, print

bool EditorPane::find(const QString &text, bool forward, bool matchCase)
{
    if (text.isEmpty())
        return false;
    // Forward from the caret, which ends the selection; backward from the selection's start, so
    // that the occurrence just found is not found again.
    int line = -1;
    int index = -1;
    if (!forward) {
        int lineTo = 0;
        int indexTo = 0;
        getSelection(&line, &index, &lineTo, &indexTo);
        if (line < 0)
            getCursorPosition(&line, &index);
    }
    return findFirst(text, false, matchCase, false, true, forward, line, index, true);
}

int EditorPane::caretCharacter(QStringView text) const
{
    return Utf8::charIndex(text, int(SendScintilla(SCI_GETCURRENTPOS)));
}

void EditorPane::selectCharacters(QStringView text, qsizetype start, qsizetype length)
{
    const long from = Utf8::byteLength(text.left(start));
    SendScintilla(SCI_SETSEL, from, from + Utf8::byteLength(text.mid(start, length)));
}

int EditorPane::selectionLine() const
{
    return int(SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS)));
}

bool EditorPane::saveFile(const QString &path) const
{
    return AtomicFile::write(path, AnsiCodec::encode(QsciScintilla::text()));
}

bool EditorPane::print(QsciPrinter &printer)
{
    printer.setWrapMode(WrapWord);
    printer.setMagnification(0);
    // Colours as on the screen, not the black-on-white the printer might prefer.
    SendScintilla(SCI_SETPRINTCOLOURMODE, SC_PRINT_NORMAL);
    // The brace highlight marks where the caret happens to be: not part of the text.
    const bool braces = braceShown_;
    if (braces)
        clearBraceHighlight();
    const bool printed = printer.printRange(this) != 0;
    if (braces)
        updateBraceHighlight();
    return printed;
}

// ---- hyperlinks

std::pair<int, int> EditorPane::styleRunAt(int position) const
{
    const int length = int(SendScintilla(SCI_GETLENGTH));
    if (position < 0 || position >= length)
        return {position, position};
    const int line = int(SendScintilla(SCI_LINEFROMPOSITION, position));
    const int lineStart = int(SendScintilla(SCI_POSITIONFROMLINE, line));
    const int lineEnd = int(SendScintilla(SCI_GETLINEENDPOSITION, line));
    const long style = SendScintilla(SCI_GETSTYLEAT, position);
    int start = position;
    int end = position + 1;
    while (start > lineStart && SendScintilla(SCI_GETSTYLEAT, start - 1) == style)
        --start;
    while (end < lineEnd && SendScintilla(SCI_GETSTYLEAT, end) == style)
        ++end;
    return {start, end};
}

bool EditorPane::openLinkAt(int position)
{
    const CompiledLanguagePtr &lang = lexer_->compiledLanguage();
    if (!lang || position < 0 || position >= int(SendScintilla(SCI_GETLENGTH)))
        return false;
    const int line = int(SendScintilla(SCI_LINEFROMPOSITION, position));
    lexer_->stateAtLineStart(line + 1 < lines() ? line + 1 : line); // make sure the line is styled
    SendScintilla(SCI_COLOURISE, SendScintilla(SCI_GETENDSTYLED), SendScintilla(SCI_GETLINEENDPOSITION, line));
    const int tokenset = PaneLexer::tokensetForStyle(int(SendScintilla(SCI_GETSTYLEAT, position)));
    if (tokenset < 0 || tokenset >= lang->tokensetCount() || !lang->style(tokenset).hyperlink)
        return false;
    const auto [start, end] = styleRunAt(position);
    QByteArray bytes(end - start + 1, '\0'); // the editor adds a terminating zero
    SendScintilla(SCI_GETTEXTRANGE, start, end, bytes.data());
    const QUrl url = linkUrl(QString::fromUtf8(bytes.constData(), end - start).trimmed());
    if (!url.isValid() || url.isEmpty())
        return false;
    if (linkOpener_)
        linkOpener_(url);
    return true;
}

void EditorPane::onHotspotClick(int position, int)
{
    openLinkAt(position);
}

// ---- member lists

EditorPane::MemberLookup EditorPane::registryLookup(const EditorGlobals *globals)
{
    return [globals](const QString &name) {
        const std::shared_ptr<MemberListObject> list = globals ? globals->memberList(name) : nullptr;
        return list ? list->members() : QVector<MemberListObject::Member>();
    };
}

void EditorPane::onCharAdded(int)
{
    const CompiledLanguagePtr &lang = lexer_->compiledLanguage();
    if (!lang || !memberLookup_ || !namesMemberList(*lang))
        return;
    const int caret = int(SendScintilla(SCI_GETCURRENTPOS));
    const int line = int(SendScintilla(SCI_LINEFROMPOSITION, caret));
    const int lineStart = int(SendScintilla(SCI_POSITIONFROMLINE, line));
    QVector<StyleRun> runs;
    const QString text = lexer_->lineRuns(line, runs);
    const int column = Utf8::charIndex(text, caret - lineStart);
    const LanguageDefinition &def = lang->definition();
    for (const StyleRun &run : std::as_const(runs)) {
        if (run.start + run.length != column || run.token < 0 || run.tokenset < 0
            || run.tokenset >= def.tokensets.size() || run.kind == StyleRun::Plain)
            continue;
        const TokensetDefinition &ts = def.tokensets.at(run.tokenset);
        const TokenListDefinition &list = run.kind == StyleRun::ScopeEnd ? ts.tokens2 : ts.tokens;
        if (run.token >= list.tokens.size())
            return;
        const QString &action = list.tokens.at(run.token).action;
        const QString listName = ts.memberlist.isEmpty() ? def.memberlist : ts.memberlist;
        if (action.isEmpty() || listName.isEmpty())
            return;
        const QVector<MemberListObject::Member> members = memberLookup_(listName);
        if (members.isEmpty())
            return;
        const QStringView token = QStringView(text).mid(run.start, run.length);
        const int tokenStart = caret - Utf8::byteLength(token);

        if (action == QLatin1String("ListMembers") || action == QLatin1String("CompleteWord")) {
            // ListMembers offers the members after the token; CompleteWord replaces the word it ends.
            const bool complete = action == QLatin1String("CompleteWord");
            QStringList names;
            for (const MemberListObject::Member &m : members) {
                if (!m.name.isEmpty() && !m.name.contains(QLatin1Char('\n')))
                    names.append(m.name);
            }
            names.removeDuplicates();
            if (names.isEmpty())
                return;
            listStart_ = complete ? tokenStart : caret;
            SendScintilla(SCI_AUTOCSETSEPARATOR, long('\n'));
            SendScintilla(SCI_USERLISTSHOW, kMemberListId, names.join(QLatin1Char('\n')).toUtf8().constData());
            if (complete)
                SendScintilla(SCI_AUTOCSELECT, 0UL, token.toUtf8().constData());
        } else if (action == QLatin1String("ParameterInfo") || action == QLatin1String("QuickInfo")) {
            // The member named by the word before the token (fgets in "fgets("), else the token itself.
            const QString before = text.left(run.start).trimmed();
            int wordStart = int(before.size());
            while (wordStart > 0 && lang->isWordChar(before.at(wordStart - 1).unicode()))
                --wordStart;
            const Qt::CaseSensitivity cs = def.casesensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
            for (const QString &name : {before.mid(wordStart), token.toString()}) {
                for (const MemberListObject::Member &m : members) {
                    if (!name.isEmpty() && m.name.compare(name, cs) == 0) {
                        const QString tip = m.tip.isEmpty() ? m.name : m.tip;
                        SendScintilla(SCI_CALLTIPSHOW, caret, tip.toUtf8().constData());
                        return;
                    }
                }
            }
        }
        return;
    }
}

// ---- brace highlighting

namespace {

// Depth of the scope stack before and after each run of a line.
QVector<std::pair<int, int>> runDepths(const QVector<StyleRun> &runs, int depth)
{
    QVector<std::pair<int, int>> depths;
    depths.reserve(runs.size());
    for (const StyleRun &run : runs) {
        int after = depth;
        if (run.kind == StyleRun::ScopeStart)
            ++after;
        else if (run.kind == StyleRun::ScopeEnd)
            after = qMax(0, depth - 1);
        depths.append({depth, after});
        depth = after;
    }
    return depths;
}

} // namespace

void EditorPane::clearBraceHighlight()
{
    const long length = SendScintilla(SCI_GETLENGTH);
    for (int indicator : {kBraceIndicator, kBadBraceIndicator}) {
        SendScintilla(SCI_SETINDICATORCURRENT, indicator);
        SendScintilla(SCI_INDICATORCLEARRANGE, 0L, length);
    }
    braceShown_ = false;
}

void EditorPane::updateBraceHighlight()
{
    if (braceShown_)
        clearBraceHighlight();
    const CompiledLanguagePtr lang = lexer_->compiledLanguage();
    if (!lang || !matchesBraces(*lang))
        return;
    const int caret = int(SendScintilla(SCI_GETCURRENTPOS));
    const int line = int(SendScintilla(SCI_LINEFROMPOSITION, caret));
    const int lineStart = int(SendScintilla(SCI_POSITIONFROMLINE, line));
    // Colouring in the background has not reached the line yet: the braces show once it has.
    if (lexer_->background() && SendScintilla(SCI_GETENDSTYLED) < SendScintilla(SCI_GETLINEENDPOSITION, line))
        return;
    QVector<StyleRun> runs;
    ScopeState state;
    const QString text = lexer_->lineRuns(line, runs, &state);
    const int column = Utf8::charIndex(text, caret - lineStart);

    // The brace token under the caret, or just before it.
    int found = -1;
    for (int pass = 0; pass < 2 && found < 0; ++pass) {
        for (int i = 0; i < runs.size(); ++i) {
            const StyleRun &run = runs.at(i);
            if ((run.kind != StyleRun::ScopeStart && run.kind != StyleRun::ScopeEnd) || run.tokenset < 0
                || run.tokenset >= lang->tokensetCount() || !lang->matchBraces(run.tokenset))
                continue;
            const bool hit = pass == 0 ? (column >= run.start && column < run.start + run.length)
                                       : (column == run.start + run.length);
            if (hit) {
                found = i;
                break;
            }
        }
    }
    if (found < 0)
        return;

    auto byteRange = [](const QString &lineText, int lineStartPos, const StyleRun &run) {
        const int from = lineStartPos + Utf8::byteLength(QStringView(lineText).left(run.start));
        return std::pair<int, int>(from, Utf8::byteLength(QStringView(lineText).mid(run.start, run.length)));
    };
    const StyleRun brace = runs.at(found);
    const auto braceRange = byteRange(text, lineStart, brace);
    std::pair<int, int> partner{-1, 0};

    QVector<std::pair<int, int>> depths = runDepths(runs, state.depth());
    if (brace.kind == StyleRun::ScopeStart) {
        const int level = depths.at(found).second;
        int l = line;
        int i = found + 1;
        QString lineText = text;
        QVector<StyleRun> lineRuns = runs;
        ScopeState endState = lexer_->highlightLine(text, state, lineRuns);
        for (int scanned = 0; scanned < kMaxBraceScanLines; ++scanned) {
            bool done = false;
            for (; i < lineRuns.size(); ++i) {
                if (depths.at(i).first < level) {
                    done = true;
                    break;
                }
                if (lineRuns.at(i).kind == StyleRun::ScopeEnd && depths.at(i).first == level) {
                    partner = byteRange(lineText, int(SendScintilla(SCI_POSITIONFROMLINE, l)), lineRuns.at(i));
                    done = true;
                    break;
                }
            }
            // The scope may also end with a line (single-line scopes) without an end token.
            if (done || ++l >= lines() || endState.depth() < level)
                break;
            const ScopeState startState = endState;
            lineText = lexer_->lineText(l);
            endState = lexer_->highlightLine(lineText, startState, lineRuns);
            depths = runDepths(lineRuns, startState.depth());
            i = 0;
        }
    } else {
        const int level = depths.at(found).first;
        int l = line;
        int i = found - 1;
        QString lineText = text;
        QVector<StyleRun> lineRuns = runs;
        for (int scanned = 0; partner.first < 0 && scanned < kMaxBraceScanLines; ++scanned) {
            for (; i >= 0; --i) {
                if (lineRuns.at(i).kind == StyleRun::ScopeStart && depths.at(i).second == level) {
                    partner = byteRange(lineText, int(SendScintilla(SCI_POSITIONFROMLINE, l)), lineRuns.at(i));
                    break;
                }
            }
            if (partner.first >= 0 || --l < 0)
                break;
            ScopeState lineState;
            lineText = lexer_->lineRuns(l, lineRuns, &lineState);
            depths = runDepths(lineRuns, lineState.depth());
            i = int(lineRuns.size()) - 1;
        }
    }

    if (partner.first >= 0) {
        SendScintilla(SCI_SETINDICATORCURRENT, kBraceIndicator);
        SendScintilla(SCI_INDICATORFILLRANGE, braceRange.first, braceRange.second);
        SendScintilla(SCI_INDICATORFILLRANGE, partner.first, partner.second);
    } else {
        SendScintilla(SCI_SETINDICATORCURRENT, kBadBraceIndicator);
        SendScintilla(SCI_INDICATORFILLRANGE, braceRange.first, braceRange.second);
    }
    braceShown_ = true;
}
