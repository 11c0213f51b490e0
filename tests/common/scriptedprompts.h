#pragma once

#include "session/sessionprompts.h"

#include <QStringList>

#include <deque>

// Answers the session's questions from a script (OK when it is empty) and records every question
// and report as "title: text", so that no test blocks.
class ScriptedPrompts : public SessionPrompts {
public:
    std::deque<bool> answers;
    QStringList asked;

    bool confirm(const QString &text, const QString &title) override
    {
        report(text, title);
        const bool answer = answers.empty() || answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
    void report(const QString &text, const QString &title) override { asked << title + QStringLiteral(": ") + text; }
};
