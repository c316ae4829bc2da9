#pragma once
// Whole sources assembled through the Assembler API: the source is written
// to a temporary folder, both passes run, and the code image, the pane and
// the state can be inspected.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "assembler/assembler.h"
#include "core/cp1251.h"
#include "core/pane.h"
#include "core/workspace.h"
#include "testutil.h"

namespace z51test {

using Bytes = std::vector<std::uint8_t>;

class AsmRun {
public:
    AsmRun() : ws_(std::make_unique<z51::Workspace>()), asm_(std::make_unique<z51::Assembler>(*ws_, pane_)) {}

    // Writes `source` (UTF-8 in the test, code page 1251 in the file) as
    // `name` and runs the first pass.
    void FirstPass(const std::string& source, const std::string& name = "PROG.A51") {
        ws_->SourceName = dir_.Write(name, z51::cp(source));
        asm_->Prohod1();
        asm_->RunFirstPass();
        firstPassText_ = pane_.Text();
    }
    // Both passes; returns whether the final pass wrote the output files.
    bool Assemble(const std::string& source, const std::string& name = "PROG.A51") {
        FirstPass(source, name);
        return asm_->FinalPass();
    }
    bool FinalPassAgain() { return asm_->FinalPass(); }

    Bytes Code(std::size_t addr, std::size_t n) const {
        return Bytes(ws_->CodeImage.begin() + addr, ws_->CodeImage.begin() + addr + n);
    }
    // The pane's text as UTF-8 (after the last pass that ran).
    std::string Text() const { return z51::Cp1251ToUtf8(pane_.Text()); }
    std::string FirstPassText() const { return z51::Cp1251ToUtf8(firstPassText_); }
    bool Shows(const std::string& utf8) const { return Text().find(utf8) != std::string::npos; }
    int ErrorCount() const { return asm_->State().ErrorCount; }

    const TempDir& Dir() const { return dir_; }
    z51::AsmState& State() { return asm_->State(); }
    z51::Workspace& Ws() { return *ws_; }
    z51::RecordingPane& Pane() { return pane_; }

private:
    TempDir dir_;
    std::unique_ptr<z51::Workspace> ws_;
    z51::RecordingPane pane_;
    std::unique_ptr<z51::Assembler> asm_;
    std::string firstPassText_;
};

}  // namespace z51test
