#pragma once

// Makes sure descriptors 0, 1 and 2 are open, opening each closed one on
// /dev/null. A program started with one of them closed ("2>&-", some cron and
// daemon set-ups) would otherwise hand that number to the first file it
// opens, and every message meant for standard error or output would be
// written into that file: a report, say. Call it first thing in main, before
// anything opens a file or starts a thread. False when a closed one could not
// be opened; the program must not go on then.
[[nodiscard]] bool openStandardDescriptors();
