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
// - Ansi: 24-bit colour escapes (SGR 38;2 / 48;2, bold, italic, underline), reset before every line
//   break so that a background never runs to the terminal's edge; line breaks kept as they are.
// - Spans: one line per run of one tokenset, "start TAB length TAB name", offsets in UTF-16
//   characters from the start of the text (64-bit); text outside every tokenset is not listed.
class TextRenderer {
public:
    enum class Format { Html, Ansi, Spans };
    // Receives the output; returns false when it could not take it (the rest is then dropped).
    using Sink = std::function<bool(QByteArrayView bytes)>;

    TextRenderer(const CompiledLanguage &language, Format format, Sink sink, const QString &title = QString());
    ~TextRenderer();
    TextRenderer(const TextRenderer &) = delete;
    TextRenderer &operator=(const TextRenderer &) = delete;

    // The names the spans list gives each tokenset (by default the tokenset names as they are).
    void setSpanNames(const QStringList &names);

    // The next piece of the text, in the style of a tokenset (-1: the default style).
    void write(QStringView piece, int tokenset);
    // Ends the output and hands over what is left; false when the sink refused any of it.
    bool finish();
    bool failed() const { return failed_; }

    // A whole coloured text at once (for tests and small texts): runs as Highlighter::highlightText
    // gives them, any text between or after them in the default style.
    static QByteArray render(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language,
                             Format format, const QString &title = QString());

private:
    void flushSpan();
    void flush();
    char *room(qsizetype bytes); // where the next `bytes` bytes go; used_ says how many were written
    void put(QByteArrayView bytes);
    void appendHtml(QStringView text);

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
    qint64 spanLength_ = 0;
    int spanTokenset_ = -1;
};
