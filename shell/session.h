#pragma once
// What the windows of zanvek share: the workspace of the file commands and
// the emulated processor, whose files the main window's emulation menu
// loads and saves. main() owns one; the windows and the tests receive it.

#include "core/workspace.h"
#include "emulator/cpu51.h"

namespace z51 {

struct Session {
    Workspace ws;
    Cpu51 cpu;
};

}  // namespace z51
