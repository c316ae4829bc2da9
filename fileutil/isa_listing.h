#pragma once
// The instruction-set listing: every one-byte instruction, multi-byte
// pattern, SFR and bit name the program knows, straight from the
// vocabulary tables, with their codes and addresses.

#include "core/pane.h"

namespace z51 {

// Clears `pane` and prints the four tables into it. Writes no file.
void PrintInstructionSet(Pane& pane);

}  // namespace z51
