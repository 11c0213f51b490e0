#pragma once

#include "widgets/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// A dialogs seam for tests: answers come from queues filled by the test, every question is
// recorded, and nothing is ever shown. An empty queue answers Cancel (Ok for an Ok-only box),
// an empty string, or -1.
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    std::deque<Answer> answers;
    std::deque<QString> inputs;
    std::deque<qint32> colors;
    std::deque<QString> files;
    std::deque<QString> folders;

    std::vector<Message> messages;
    QStringList details; // the details of each detailed message
    QStringList verbs;   // the buttons of each choice, joined with "|"
    std::function<void(const Message &)> whileShown; // runs as each message is shown, before it is answered
    QStringList prompts; // input, colour, file and folder questions, by title or prompt
    QStringList defaults; // the answer each input question offered
    QStringList openedIn; // the folder each open-file question started in

    Answer message(QWidget *, const QString &text, const QString &title, Buttons buttons, Icon icon) override
    {
        messages.push_back({text, title, buttons, icon});
        if (whileShown)
            whileShown(messages.back());
        if (answers.empty())
            return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void detailed(QWidget *parent, const QString &text, const QString &title, const QString &more, Icon icon) override
    {
        details << more;
        message(parent, text, title, Buttons::Ok, icon);
    }
    // Answered from `answers` as Yes, No, ... name the first, second, ... verb; Cancel (or nothing
    // scripted) the last.
    int choose(QWidget *parent, const QString &text, const QString &title, const QStringList &verbs, Icon icon) override
    {
        this->verbs << verbs.join(QLatin1Char('|'));
        const Answer a = message(parent, text, title, Buttons::OkCancel, icon);
        const int last = int(verbs.size()) - 1;
        return a == Answer::Yes || a == Answer::Ok ? 0 : a == Answer::No ? qMin(1, last) : last;
    }
    QString input(QWidget *, const QString &prompt, const QString &, const QString &defaultAnswer) override
    {
        prompts << prompt;
        defaults << defaultAnswer;
        return take(inputs, QString());
    }
    qint32 color(QWidget *) override
    {
        prompts << QStringLiteral("color");
        return take(colors, qint32(-1));
    }
    QString openFile(QWidget *, const QString &title, const QString &folder, const QString &) override
    {
        prompts << title;
        openedIn << folder;
        return take(files, QString());
    }
    QString saveFile(QWidget *, const QString &title, const QString &, const QString &) override
    {
        prompts << title;
        return take(files, QString());
    }
    QString folder(QWidget *, const QString &title, const QString &) override
    {
        prompts << title;
        return take(folders, QString());
    }

    // The messages shown so far, each as "title: text".
    QStringList shown() const
    {
        QStringList out;
        for (const Message &m : messages)
            out << m.title + QStringLiteral(": ") + m.text;
        return out;
    }

private:
    template <typename T>
    static T take(std::deque<T> &queue, T fallback)
    {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};
