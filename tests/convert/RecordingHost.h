#pragma once

#include "convert/BatchProcedure.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Stands in for the main window in the batch procedure's tests: a fixed list,
// a confirmed target, scripted answers to the questions, and a hook where the
// window would run its events.
class RecordingHost : public ConversionHost
{
public:
    std::vector<std::string> items;
    std::string target;
    std::deque<bool> answers; // runs out: Cancel
    std::vector<std::string> questions;
    std::string result;
    std::function<void(int written)> betweenFiles;

    std::optional<std::string> chooseTarget(const std::string&, const std::string&) override { return target; }
    std::string currentTargetName() override { return target; }
    std::string lastSaveDir() override { return {}; }
    void rememberSaveDir(const std::string&) override {}
    int itemCount() override { return static_cast<int>(items.size()); }
    bool itemSelected(int) override { return true; }
    std::string itemText(int index) override { return items.at(static_cast<std::size_t>(index)); }
    void showProgress(int) override {}
    void setProgress(int) override {}
    void hideProgress() override {}
    bool askContinue(const std::string& text) override
    {
        questions.push_back(text);
        if (answers.empty())
            return false;
        const bool ok = answers.front();
        answers.pop_front();
        return ok;
    }
    void showResult(const std::string& text) override { result = text; }
    void processPendingEvents() override
    {
        if (betweenFiles)
            betweenFiles(++m_written);
    }

private:
    int m_written = 0;
};
