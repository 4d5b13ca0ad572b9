#pragma once

// Creates the program's four windows in their fixed order: the main window
// first (it loads the settings), then the schedule dialog, the signature
// display and the print-title dialog, all owned by the main window.
void createWindows();
