#pragma once
// What the windows of zanvek share: the workspace of the file commands,
// the emulated processor, whose files the main window's emulation menu
// loads and saves, and the debugger over it (breakpoints, stopwatch). main()
// owns one; the windows and the tests receive it.

#include "core/workspace.h"
#include "emulator/cpu51.h"
#include "emulator/debugger.h"

namespace z51 {

struct Session {
    Workspace ws;
    Cpu51 cpu;
    Debugger debugger{cpu, ws.CodeImage};
};

}  // namespace z51
