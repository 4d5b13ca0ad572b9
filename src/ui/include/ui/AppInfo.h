#pragma once

// The application's title: the caption of plain message boxes and error boxes.
// Kept as our own constant instead of Qt's display name, which Qt would append
// to every window title.
inline constexpr const char* ApplicationTitle = "Quorvex Dravel";
