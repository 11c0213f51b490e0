#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringView>
#include <QTemporaryFile>

#include <memory>

// A text file (or standard input) read in blocks and handed out line by line, so that memory
// depends on the longest line and not on the size of the text. Lines end at LF, CR LF or CR.
//
// The encoding is decided before the first line, by a pass that only validates: UTF-8 when the
// whole input is valid UTF-8 (a byte order mark at its start is dropped), else the ANSI code page.
// Standard input that cannot be read twice (a pipe) is copied to a temporary file on the way.
class TextSource {
public:
    TextSource();
    ~TextSource();
    TextSource(const TextSource &) = delete;
    TextSource &operator=(const TextSource &) = delete;

    // "-" is standard input. False, with problem(), when it cannot be read.
    bool open(const QString &path);

    // The next line without its line break, and its line break (empty for the last line when the
    // text does not end with one). Both stay valid until the next call. False at the end of the text
    // and when reading fails (problem() is then set).
    bool next(QStringView &line, QStringView &lineBreak);

    bool isUtf8() const { return utf8_; }
    QString problem() const { return problem_; }
    // The file as messages name it: its path, or "(standard input)".
    QString displayName() const { return name_; }
    qint64 lineNumber() const { return lines_; } // of the line next() gave last, from 1

    // A line longer than this many characters is refused: the colouring engine counts in int.
    static constexpr qsizetype kMaxLineLength = qsizetype(1) << 28;

private:
    bool validate(QIODevice &input, QIODevice *copy);
    bool readMore();

    QString name_;
    QString problem_;
    QFile file_;
    std::unique_ptr<QTemporaryFile> spool_;
    QIODevice *input_ = nullptr;
    std::unique_ptr<QStringDecoder> decoder_;
    bool utf8_ = true;
    bool atEnd_ = false;
    bool first_ = true;
    QByteArray raw_;
    QString buffer_;
    qsizetype pos_ = 0;  // the next line starts here
    qsizetype scan_ = 0; // no line break before here (from pos_ on)
    qint64 lines_ = 0;
};
