// The editor as a program: the application, the global objects, the main window and its message
// loop, for "tessora [-d] [-t] [FILE]".
#pragma once

#include "app/cli/CommandLine.h"

// Runs the editor with the command line of main; returns the exit status.
int RunEditor(int argc, char** argv);

// "--screenshot OUT.png [FILE]": the editor's window drawn offscreen with FILE open, as a PNG picture.
int RunScreenshot(CommandArgs args);
