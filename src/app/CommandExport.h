#pragma once

// quorvex-dravel --export / --print-pdf: the signature display's chart, or its
// printed page, written to a file for the files named, without a window.

// Whether the command line asks for a file rather than the window: its first
// argument is --export, --print-pdf, --help or -h. A plain list of files
// starts the window as before.
bool isCommandExport(int argc, char** argv);

// Parses and runs the command; the return value is the exit status: 0 written,
// 1 when a file could not be read (the rest are still drawn) or the output
// could not be written (nothing is left in its place), 2 for a command line
// it does not understand. Makes its own QApplication, on the offscreen
// platform when there is no display to connect to.
int runCommandExport(int argc, char** argv);
