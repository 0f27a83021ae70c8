#pragma once

#include "app/confirm.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Answers the confirmation's questions from a script instead of showing the dialog, and keeps
// every question asked. An exhausted script answers Cancel. beforeAnswer, when set, runs before
// each answer is given (for changing the file store while a question is open).
class ConfirmScript
{
public:
    explicit ConfirmScript(std::deque<int> script = {}) : answers(std::move(script))
    {
        previous = SetConfirmRecorder([this](const ConfirmRequest &request) {
            asked.push_back(request);
            if (beforeAnswer)
                beforeAnswer(request);
            if (answers.empty())
                return ConfirmAnswer::Cancel;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }

    ~ConfirmScript() { SetConfirmRecorder(previous); }

    ConfirmScript(const ConfirmScript &) = delete;
    ConfirmScript &operator=(const ConfirmScript &) = delete;

    std::vector<std::string> texts() const
    {
        std::vector<std::string> out;
        for (const ConfirmRequest &request : asked)
            out.push_back(request.text);
        return out;
    }

    std::deque<int> answers;
    std::vector<ConfirmRequest> asked;
    std::function<void(const ConfirmRequest &)> beforeAnswer;

private:
    ConfirmRecorder previous;
};
