#pragma once

#include "model/language.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <QString>
#include <array>

struct Database;
class OutputBatch;
class WriterHost;

// What a run of the writer came to.
struct WriteResult {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Written;
    QString file;  // the file written, or meant to be written
    QString error; // when Failed: one line naming the file or language and the cause

    bool written() const { return status == Status::Written; }
};

// Generates the language definition XML of one language of the database and writes it to the
// working file varlex.lng in the program folder (the preview) or to name + ".lng" in the export
// folder. It keeps the text of every tokenset as last generated, so that after an edit only the
// tokenset being edited is rebuilt (mode 0); mode 1 rebuilds all. A cached text is reused only when
// everything it was built from is unchanged (the tokenset's fields, the options, the language's case
// setting and whether each of its references resolves), so mode 0 always writes what mode 1 writes.
// While building it checks the member list, inheritance and valid-scope references and the
// characters a file cannot hold, and collects every problem in the validity message. The window
// owns one writer for the life of the program.
class XmlWriter {
public:
    static constexpr qint32 kGreen = 65280;
    static constexpr qint32 kRed = 255;
    static const QString kWorkingFile;   // "varlex.lng"
    static const QString kNoErrors;      // the validity message of a language without errors

    XmlWriter(const Database &database, WriterHost &host);

    // One run for language iSel: to the working file when writeLocal, else to the export folder;
    // iScope 1 rebuilds every tokenset, 0 only the current one. A cancelled run (manual changes
    // kept) changes nothing. A language holding characters a file cannot hold is not written (the
    // run fails naming them). The caller reports a failed write.
    [[nodiscard]] WriteResult WriteXML(int iSel, bool writeLocal, int iScope);

    // The text of a run without windows or files: the definition of language iSel, with the
    // cache, the validity message and the flag colour updated as WriteXML updates them.
    QString generate(int iSel, int iScope, bool hide, bool easyRead);

    // The bytes of a written file: the ANSI text followed by CR LF.
    static QByteArray fileBytes(const QString &xml);

    const Database &database() const { return db_; }
    const QString &validityMessage() const { return validity_; }
    bool hasValidityErrors() const { return redFlag_ == kRed; }
    qint32 redFlag() const { return redFlag_; }
    // The fields of the last run's language that a file cannot hold, one line each in validity form
    // ("LANGUAGE : TOKENSET : FIELD holds U+0007 (BEL)").
    const QStringList &unwritable() const { return unwritable_; }
    // Forgets the cached texts, so that the next run rebuilds every tokenset.
    void clearCache();
    // While set, exported files are staged in the batch (and are in place only once it commits)
    // rather than each written and synced on its own.
    void setBatch(OutputBatch *batch) { batch_ = batch; }

    // Timing for the trace window: the tick of the last run's start and its timing line.
    qint64 startTick() const { return startTick_; }
    const QString &timingText() const { return timingText_; }
    static qint64 tickCount();
    // (end - start) / 1000 with three decimals in the user's number format, then the suffix.
    static QString timingLine(qint64 startTick, qint64 endTick, const QString &suffix);

private:
    // Which references of a tokenset resolve: what its text depends on beyond its own fields.
    struct Resolved {
        bool memberlist = false;
        bool inheritfrom = false;
        quint16 scopes = 0; // bit j: validscope element j names an included tokenset
        bool operator==(const Resolved &) const = default;
    };
    struct CacheEntry {
        bool valid = false;
        Tokenset record; // shares its texts with the database's record until that one changes
        qint32 caseFlag = 0;
        bool hide = false;
        bool easyRead = false;
        Resolved resolved;
        QString text;
        QStringList unwritable; // XmlChars::tokensetFields of the record
    };

    void report(const QString &line);
    void appendMemberlist(QString &out, QStringView sep, const QString &value, bool exists, bool hide);
    Resolved resolve(const Tokenset &ts) const;
    QString inheritCycle(const Language &language, int slot) const;
    void reportTokenset(const Language &language, int slot, const CacheEntry &entry);
    QString buildTokenset(const Language &language, int slot, bool hide, QStringView sep, const Resolved &resolved);
    void generateInto(QString &xml, int iSel, int iScope, bool hide, bool easyRead);
    static void encodeFile(const QString &xml, QByteArray &bytes);
    WriteResult writeFile(int iSel, bool writeLocal, const QString &xml);

    const Database &db_;
    WriterHost &host_;
    std::array<CacheEntry, Language::kSlots> cache_;
    QHash<QString, int> included_; // names of the included tokensets of the run's language: first slot
    QString validity_;
    QStringList unwritable_;
    qint32 redFlag_ = kGreen;
    qint64 startTick_ = 0;
    QString timingText_;
    QString text_;     // the text of the last run, its buffer reused
    QByteArray bytes_; // the bytes of the last file, their buffer reused
    OutputBatch *batch_ = nullptr;
};
