#pragma once

#include <string>
#include <vector>

// The windows the main window opens but does not make: the signature display,
// the Trend window and the schedule's configuration dialog. The program's
// owner answers; a test can answer instead.
class OtherWindows
{
public:
    virtual ~OtherWindows() = default;

    // Shows the signature display with paths (at most five are shown) until
    // the user closes it.
    virtual void showFiles(const std::vector<std::string>& paths) = 0;
    // Shows the Trend window reading paths (none: an empty window, ready to
    // open a folder); it stays open beside the main window.
    virtual void showTrend(const std::vector<std::string>& paths) = 0;
    // Shows the schedule's configuration dialog until the user closes it.
    virtual void configureSchedule() = 0;
};
