#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/highlighter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

#include <functional>
#include <vector>

// Writes coloured text, piece by piece, as a complete HTML page, as text with ANSI terminal escapes,
// or as a list of runs, to a sink in blocks of about 64 KB: memory stays the same however long the
// text. Adjacent pieces of one tokenset become one span (HTML) or one run (spans), across lines too.
//
// - Html: the text in a <pre>, one CSS class per tokenset; line breaks written as LF.
// - Ansi: colour escapes (24-bit SGR 38;2 / 48;2, or the nearest of the 256-colour palette, 38;5 /
//   48;5; bold, italic, underline), reset before every line break so that a background never runs to
//   the terminal's edge; line breaks kept as they are. Foreground only unless the style asks for the
//   back colours too: a terminal's own background stays behind the text.
// - Spans: one line per run of one tokenset, "start TAB length TAB name", offsets in UTF-16
//   characters from the start of the text (64-bit); text outside every tokenset is not listed.
// How Ansi output paints: with the back colours or not, in 24-bit colour or the 256-colour palette.
struct TerminalColours {
    bool background = false;
    bool truecolor = true;
};

class TextRenderer {
public:
    enum class Format { Html, Ansi, Spans };
    // Receives the output; returns false when it could not take it (the rest is then dropped).
    using Sink = std::function<bool(QByteArrayView bytes)>;

    using AnsiStyle = TerminalColours;

    TextRenderer(const CompiledLanguage &language, Format format, Sink sink, const QString &title = QString(),
                 AnsiStyle ansi = {});
    ~TextRenderer();
    TextRenderer(const TextRenderer &) = delete;
    TextRenderer &operator=(const TextRenderer &) = delete;

    // The names the spans list gives each tokenset (by default the tokenset names as they are).
    void setSpanNames(const QStringList &names);

    // The next piece of the text, in the style of a tokenset (-1: the default style).
    void write(QStringView piece, int tokenset);
    // The next runs of a line, as the highlighter gives them: write() for each, in one call.
    void writeRuns(QStringView line, const StyleRun *runs, qsizetype count);
    // A line's break (LF, CR LF or CR, or nothing), as write() takes it, by a shorter way (the spans
    // list holds it back for the next line's runs, or flush()).
    void writeBreak(QStringView lineBreak, int tokenset)
    {
        // The spans list's usual case, without a call: the break joins those held back in its tokenset.
        if (format_ == Format::Spans && !finished_ && size_t(lineBreak.size() - 1) < 2
            && (heldBreak_ == 0 || tokenset == heldBreakTokenset_)) {
            heldBreakTokenset_ = tokenset;
            heldBreak_ += lineBreak.size();
            return;
        }
        writeBreakFully(lineBreak, tokenset);
    }
    // Ends the output and hands over what is left; false when the sink refused any of it.
    bool finish();
    bool failed() const { return failed_; }
    // Hands over what is written so far (a run that the next piece may extend is held back).
    void flush();

    // A whole coloured text at once (for tests and small texts): runs as Highlighter::highlightText
    // gives them, any text between or after them in the default style.
    static QByteArray render(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language,
                             Format format, const QString &title = QString(), AnsiStyle ansi = {});

    // The entry of the 256-colour palette (its 6x6x6 cube or its grey ramp) nearest to a 0x00BBGGRR colour.
    static int paletteIndex(qint32 bgr);

private:
    void writeBreakFully(QStringView lineBreak, int tokenset);
    void flushSpan();
    void addSpan(qint64 length, int tokenset); // Spans: as write() does
    void releaseBreak(); // Spans: adds the line break held back
    void writeHtml(QStringView piece, int tokenset); // a piece that is not empty
    void writeHtmlRuns(QStringView line, const StyleRun *runs, qsizetype count);
    void writeAnsiRuns(QStringView line, const StyleRun *runs, qsizetype count);
    void writeSpanRuns(QStringView line, const StyleRun *runs, qsizetype count);
    void switchSpan(int tokenset); // Html: closes the open span and opens the tokenset's
    char *appendStart(char *w);
    void carryStart(char *digits);
    void padOpen();
    char *appendOpen(char *w, qsizetype index) const; // open_[index] at w, which has room for kShortName more
    // Where the next `bytes` bytes go; used_ says how many were written.
    char *room(qsizetype bytes)
    {
        if (used_ + bytes > qsizetype(buffer_.size()))
            grow(bytes);
        return buffer_.data() + used_;
    }
    void grow(qsizetype bytes);
    void put(QByteArrayView bytes);
    void appendHtml(QStringView text);
    // Html, Ansi: the text of a batch of runs as bytes in packed_, from its first run's start on, as
    // far as it is ASCII other than line breaks (at most kPacked units); returns where that ends in the line.
    int pack(QStringView line, const StyleRun *runs, qsizetype count, int &from);

    const CompiledLanguage &language_;
    Format format_;
    Sink sink_;
    std::vector<char> buffer_;
    qsizetype used_ = 0;
    bool failed_ = false;
    bool finished_ = false;
    QVector<QByteArray> open_;   // Html: the opening tag of each tokenset's span (empty: no span)
                                 // Ansi: the escape of each tokenset, [0] for the default style
                                 // Spans: each tokenset's name
    int current_ = -2;           // Html: the tokenset whose span is open; Ansi: the escape in force (-1: none)
    qint64 offset_ = 0;          // Spans: characters written so far
    qint64 spanStart_ = 0;       // Spans: the run held back, which the next piece may extend
    static constexpr int kStartDigits = 20; // Spans: the last start's decimal digits, right-aligned (see lastTwo())
    char startDigits_[2 * kStartDigits] = {'0', '0', '0', '0', '0', '0', '0', '0', '0', '0',
                                           '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'}; // then room to copy
    int startFirst_ = kStartDigits - 1; // Spans: the last start written, startDigits_[startFirst_..]
    qint64 startValue_ = 0;
    qint64 spanLength_ = 0;
    int spanTokenset_ = -1;
    qint64 heldBreak_ = 0; // Spans: the length of line breaks not yet added, all of heldBreakTokenset_
    int heldBreakTokenset_ = -1;
    static constexpr qsizetype kShortName = 32;
    std::vector<char> shortOpen_; // each entry of open_ of up to kShortName bytes, padded to that size
    std::vector<qsizetype> openSize_; // the size of each entry of open_
    std::vector<char> resets_; // Ansi: whether each escape is the reset itself
    static constexpr qsizetype kPacked = 16 * 1024;
    std::vector<char> packed_; // see pack()
};
