#pragma once

// quorvex-convert: converts signature files into CSV reports from the command
// line. Returns the process exit status (0 all converted, 1 any failed, 2 usage).
int runConvertCommand(int argc, char** argv);
