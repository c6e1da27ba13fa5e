#pragma once

struct ProgramInfo;

// Runs one of the two programs: application object, start-up checks, main window.
int runProgram(const ProgramInfo& info, int argc, char** argv);
