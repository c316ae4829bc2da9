// Stand-ins for the data, macro, include and conditional handlers: they
// recognise nothing. Replaced by the real handlers.

#include "assembler/directives_ext.h"

namespace z51 {

bool HandleDataDirective(AsmState&, Pane&) { return false; }
bool HandleByteList(AsmState&, Pane&) { return false; }
bool HandleMacroLine(AsmState&, Pane&, MacroSite) { return false; }
bool HandleInclude(AsmState&, Pane&) { return false; }
bool HandleConditional(AsmState&, Pane&, Conditional) { return false; }

}  // namespace z51
