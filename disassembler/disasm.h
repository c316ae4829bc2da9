#pragma once
// The two disassemblers of the main window: the linear sweep of a binary
// file into a .D51 source with its annotated listing (mnuDeasClick), and the
// second sweep over the same code with generated labels (mnuDeasLblClick).
//
// Every byte of the file is decoded in one straight sweep from address 0;
// there is no flow analysis. The sweep leaves one mark byte per address:
// bit 0 an instruction (or a DB line) starts there, bit 1 a branch, call or
// address operand points there; mark 3 is a label. Both output files
// assemble again into exactly the bytes of the file.

#include <cstdint>
#include <string>
#include <vector>

#include "core/pane.h"
#include "core/workspace.h"

namespace z51 {

class Disassembler {
public:
    explicit Disassembler(Workspace& ws);

    // mnuDeasClick: reads binName into ws.CodeImage (from address 0; the rest
    // of the image keeps its bytes), writes <name>.D51 (the extension
    // replaced, or ".D51" appended to a name without "."), lists the code
    // and the label addresses in pane. Sets ws.BinName. File failures raise
    // FileError; a file larger than 65,536 bytes raises FileError before
    // anything has changed. listing false only loads and marks the code:
    // no listing, no .D51 (for a caller that runs DeasLbl right after,
    // which writes the file).
    void Deas(Pane& pane, const std::string& binName, bool listing = true);

    // mnuDeasLblClick: the labelled disassembly of the file that Deas read
    // last, rewriting its .D51. Works on the bytes and marks Deas kept, so
    // commands run in between (loads, conversions, compares) do not change
    // the result. pane2 is only emptied. Does nothing before Deas has run.
    void DeasLbl(Pane& pane, Pane& pane2);

    bool HasRun() const { return hasRun_; }

    // State of the last successful Deas, for the window and the tests.
    const std::string& FileName() const { return fileName_; }
    const std::string& OutputName() const { return outName_; }
    long Size() const { return static_cast<long>(code_.size()); }
    std::uint8_t Mark(std::uint16_t address) const { return marks_.empty() ? 0 : marks_[address]; }
    // Label reference of an address inside the file: the nearest label at
    // or below it ("LBL01A7", "LBL0100+2"); empty when there is none (the
    // search ends at address 0).
    std::string FindLBL(std::uint16_t target) const;
    // The address of that label, or -1.
    long LabelAtOrBelow(std::uint16_t target) const;
    // Whether the labelled sweep defines a label at the address: mark 3,
    // and below the first label address beyond the assembler's capacity.
    bool IsLabel(std::uint16_t address) const {
        if (!labelsReady_) PrepareLabels();
        return address < firstUnlabelled_ && address < labelBelow_.size() && labelBelow_[address] == address;
    }

    // The output name for a binary name: up to and including the last "."
    // of the file-name part, then "D51"; a name without "." gets ".D51", and
    // so does a name that already ends in ".D51" (the binary is kept).
    static std::string D51Name(const std::string& binName);

private:
    Workspace& ws_;
    bool hasRun_ = false;
    std::string fileName_;
    std::string outName_;
    std::vector<std::uint8_t> code_;        // the bytes of the file
    std::vector<std::uint8_t> marks_;        // 65,536 mark bytes once Deas has run
    // The label addresses, found from the marks when first asked for (the
    // plain disassembly never needs them).
    void PrepareLabels() const;
    mutable bool labelsReady_ = false;
    mutable std::vector<std::uint16_t> labelBelow_;  // per address of the file: nearest label at or below
    mutable long firstUnlabelled_ = 0;  // first label address beyond the assembler's capacity, or the size
};

}  // namespace z51
