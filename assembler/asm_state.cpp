#include "assembler/asm_state.h"

namespace z51 {

AsmState::AsmState(Workspace& workspace)
    : ws(workspace),
      SourceName(workspace.SourceName),
      HexWidth(workspace.HexWidth),
      HexCR(workspace.HexCR),
      CodeImage(workspace.CodeImage),
      BinBuffer(0x10000, 0) {}

void AsmState::DropEndedIncludes() {
    while (IncludeFile.AtEnd() && !IncludeOuter.empty()) {
        IncludeFile = std::move(IncludeOuter.back());
        IncludeOuter.pop_back();
        IncludePaths.pop_back();
    }
}

std::size_t AsmState::IncludeUnread() const {
    std::size_t n = IncludeFile.Rest().size();
    for (const TextReader& outer : IncludeOuter) n += outer.Rest().size();
    return n;
}

void AsmState::CloseIncludes() {
    IncludeFile.Close();
    IncludeOuter.clear();
    IncludePaths.clear();
    IncludeActive = false;
}

void AsmState::ResetDialect() {
    SkipLines = false;
    DotIfSkip = false;
    IfBlocks.clear();
    DefinedNames.clear();
    MacroWordTexts.clear();
    MacroCalls = 0;
    CurrentSegment = Segment::Code;
    SegmentCounters.fill(0);
    RegisterBank = 0;
}

}  // namespace z51
