#include "assembler/asm_state.h"

namespace z51 {

AsmState::AsmState(Workspace& workspace)
    : ws(workspace),
      SourceName(workspace.SourceName),
      HexWidth(workspace.HexWidth),
      HexCR(workspace.HexCR),
      CodeImage(workspace.CodeImage),
      BinBuffer(0x10000, 0) {}

}  // namespace z51
