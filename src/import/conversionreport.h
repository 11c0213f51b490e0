#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// What a converter of another editor's format did not carry over exactly: one line per construct
// that was approximated, merged or dropped, naming the construct (a context id, a tokenset) and what
// happened, and the counts of each kind.
class ConversionReport {
public:
    enum class Kind { Approximated, Merged, Dropped };
    struct Line {
        Kind kind;
        QString where; // the construct: a context id, a style, a tokenset name
        QString what;  // what became of it
    };

    void approximated(const QString &where, const QString &what) { add(Kind::Approximated, where, what); }
    void merged(const QString &where, const QString &what) { add(Kind::Merged, where, what); }
    void dropped(const QString &where, const QString &what) { add(Kind::Dropped, where, what); }
    void add(Kind kind, const QString &where, const QString &what);

    const std::vector<Line> &lines() const { return lines_; }
    int count(Kind kind) const;
    bool isEmpty() const { return lines_.empty(); }

    // "WHERE: KIND: WHAT", one a line, in the order they were added; a line said twice is kept once.
    QStringList text() const;
    // The last line: "NAME: N tokensets; A approximated, M merged, D dropped".
    QString summary(const QString &languageName, int tokensets) const;

private:
    std::vector<Line> lines_;
};
