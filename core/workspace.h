#pragma once
// The state that the commands of zanvek share: the code image, the file
// names chosen last and the HEX writer settings. One object; the window,
// the console front end and the tests each own one and hand it to the
// components. The emulated processor is the emulator's own.

#include <cstdint>
#include <string>

#include "core/code_image.h"
#include "core/source_map.h"

namespace z51 {

struct Workspace {
    // Program memory, 0000H..FFFFH. All 00H at program start.
    CodeMemory CodeImage{};
    // Source files, lines and symbols of the last assembly (core/source_map.h).
    SourceMap Sources;

    std::string SourceName;  // source of the current assembly
    std::string BinName;     // binary-side file chosen last
    std::string BinName2;    // second file of the binary compare
    std::string HexName;     // HEX-side file chosen last

    // Intel HEX writer settings; an assembly sets them from its directives.
    std::uint8_t HexWidth = 16;
    std::uint8_t HexCR = 0;
};

}  // namespace z51
