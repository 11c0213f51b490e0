#pragma once

#include "widgets/dialogs.h"

#include <QQueue>
#include <QStringList>

// Answers the window's modal questions from a script and records every question asked, so that no
// test ever blocks on a dialog. A question without a scripted answer is answered Cancel (or empty).
class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    QQueue<Answer> answers;
    QQueue<QString> inputs;
    QQueue<qint32> colors;
    QQueue<QString> files;
    QQueue<QString> folders;
    QList<Message> messages;
    QStringList prompts;

    Answer message(QWidget *, const QString &text, const QString &title, Buttons buttons, Icon icon) override
    {
        messages.append({text, title, buttons, icon});
        return answers.isEmpty() ? Answer::Cancel : answers.dequeue();
    }
    QString input(QWidget *, const QString &prompt, const QString &, const QString &) override
    {
        prompts.append(prompt);
        return inputs.isEmpty() ? QString() : inputs.dequeue();
    }
    qint32 color(QWidget *) override { return colors.isEmpty() ? -1 : colors.dequeue(); }
    QString openFile(QWidget *, const QString &, const QString &, const QString &) override
    {
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QString folder(QWidget *, const QString &, const QString &) override
    {
        return folders.isEmpty() ? QString() : folders.dequeue();
    }
};
