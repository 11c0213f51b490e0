#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

class QWidget;

// Every modal question of the windows goes through this seam: the Qt implementation shows the real
// dialogs, tests plug in a scripted one so that no test ever blocks on a modal dialog.
class Dialogs {
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                           Icon icon) = 0;
    // A question answered with one of the verb buttons, the last of which cancels (and so do Escape
    // and closing the box): the index of the chosen verb.
    virtual int choose(QWidget *parent, const QString &text, const QString &title, const QStringList &verbs,
                       Icon icon) = 0;
    // An OK box whose details (an address, a path) the user can read in full and copy.
    virtual void detailed(QWidget *parent, const QString &text, const QString &title, const QString &details,
                          Icon icon) = 0;
    // Returns the typed text; Cancel returns the empty string.
    virtual QString input(QWidget *parent, const QString &prompt, const QString &title,
                          const QString &defaultAnswer) = 0;
    // Returns a colour in the 0x00BBGGRR layout, or -1 when cancelled.
    virtual qint32 color(QWidget *parent) = 0;
    // Returns the chosen file path, or an empty string when cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &folder,
                             const QString &filter) = 0;
    // Returns the path to write to (an existing file only after the user agreed to replace it), or an
    // empty string when cancelled.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &path,
                             const QString &filter) = 0;
    // Returns the chosen folder path, or an empty string when cancelled.
    virtual QString folder(QWidget *parent, const QString &title, const QString &start) = 0;
};

// The real dialogs.
class QtDialogs : public Dialogs {
public:
    Answer message(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                   Icon icon) override;
    void detailed(QWidget *parent, const QString &text, const QString &title, const QString &details,
                  Icon icon) override;
    int choose(QWidget *parent, const QString &text, const QString &title, const QStringList &verbs,
               Icon icon) override;
    QString input(QWidget *parent, const QString &prompt, const QString &title,
                  const QString &defaultAnswer) override;
    qint32 color(QWidget *parent) override;
    QString openFile(QWidget *parent, const QString &title, const QString &folder,
                     const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &path,
                     const QString &filter) override;
    QString folder(QWidget *parent, const QString &title, const QString &start) override;
};
