// Every file the programs write goes through a temporary file beside the
// target and replaces it only when complete. For each writer a write error
// is injected (AtomicFile's test seam, which works for root too, unlike a
// read-only folder): the previous file must stay byte for byte as it was,
// the failure must be reported, and no temporary file may stay behind.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "assembler/assembler.h"
#include "assembler/trim.h"
#include "core/file_error.h"
#include "core/fileio.h"
#include "core/workspace.h"
#include "disassembler/disasm.h"
#include "emulator/emufiles.h"
#include "fileutil/hexconv.h"
#include "tests/support/test_files.h"

using namespace z51;
using namespace z51::test;

namespace {

const std::string kOld = "previous contents\r\n";

class DataSafety : public ::testing::Test {
protected:
    void TearDown() override { AtomicFile::failAfterBytesForTest = -1; }

    // Files in the folder whose name marks them as temporary.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(dir.dir))
            if (e.path().filename().string().find(".tmp") != std::string::npos) found.push_back(e.path().string());
        return found;
    }
    void Put(const std::string& name, const std::string& text) { PutText(dir / name, text); }
    static void PutText(const std::string& path, const std::string& text) {
        WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    // Writing fails once `n` bytes have gone into a file.
    static void FailAfter(long long n) { AtomicFile::failAfterBytesForTest = n; }
    static void NoFailure() { AtomicFile::failAfterBytesForTest = -1; }

    TempDir dir;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
};

// --- Assembler: .Bin and .Hex of the final pass ----------------------------

class FinalPassOutputs : public DataSafety {
protected:
    // Assembles prog.a51 (both passes) with the failure seam set for the
    // final pass only.
    bool Assemble(const std::string& source, long long failAfter) {
        Put("prog.a51", source);
        ws->SourceName = dir / "prog.a51";
        NullPane firstPass;
        assembler = std::make_unique<Assembler>(*ws, firstPass);
        assembler->Prohod1();
        assembler->RunFirstPass();
        assembler->SetPane(pane);
        FailAfter(failAfter);
        const bool written = assembler->FinalPass();
        NoFailure();
        return written;
    }
    bool LastLineIsRedFailure() const {
        const auto& lines = pane.Lines();
        if (lines.empty() || lines.back().empty()) return false;
        return lines.back().front().color == clr::Red && pane.LineText(lines.size() - 1).find("prog.") != std::string::npos;
    }

    RecordingPane pane;
    std::unique_ptr<Assembler> assembler;
};

TEST_F(FinalPassOutputs, BinWriteErrorKeepsBothPreviousFilesAndShowsARedLine) {
    Put("prog.Bin", kOld);
    Put("prog.Hex", kOld);
    EXPECT_FALSE(Assemble("        ORG 0\n        DB 1,2,3,4,5,6,7,8\n", 4));
    EXPECT_EQ(assembler->LastOutcome(), Assembler::Outcome::Failed);
    EXPECT_NE(assembler->LastFailure().find("prog.Bin"), std::string::npos) << assembler->LastFailure();
    EXPECT_TRUE(LastLineIsRedFailure()) << PaneWithColours(pane);
    EXPECT_EQ(ReadAll(dir / "prog.Bin"), kOld);
    EXPECT_EQ(ReadAll(dir / "prog.Hex"), kOld);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FinalPassOutputs, HexWriteErrorKeepsThePreviousHex) {
    Put("prog.Hex", kOld);
    // The 3-byte .Bin fits under the limit, the .Hex does not.
    EXPECT_FALSE(Assemble("        ORG 0\n        DB 1,2,3\n", 10));
    EXPECT_EQ(assembler->LastOutcome(), Assembler::Outcome::Failed);
    EXPECT_NE(assembler->LastFailure().find("prog.Hex"), std::string::npos) << assembler->LastFailure();
    EXPECT_TRUE(LastLineIsRedFailure()) << PaneWithColours(pane);
    EXPECT_EQ(ReadAll(dir / "prog.Hex"), kOld);
    EXPECT_EQ(ReadAll(dir / "prog.Bin"), std::string("\x01\x02\x03", 3));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FinalPassOutputs, TargetThatIsAFolderIsReportedAndLeavesNoTemporaryFile) {
    fs::create_directories(dir.dir / "prog.Bin");
    EXPECT_FALSE(Assemble("        NOP\n", -1));
    EXPECT_EQ(assembler->LastOutcome(), Assembler::Outcome::Failed);
    EXPECT_TRUE(LastLineIsRedFailure()) << PaneWithColours(pane);
    EXPECT_TRUE(fs::is_directory(dir.dir / "prog.Bin"));
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(FinalPassOutputs, WithoutFailureBothFilesAreReplaced) {
    Put("prog.Bin", kOld);
    Put("prog.Hex", kOld);
    EXPECT_TRUE(Assemble("        ORG 0\n        DB 1,2,3\n", -1));
    EXPECT_EQ(ReadAll(dir / "prog.Bin"), std::string("\x01\x02\x03", 3));
    EXPECT_EQ(ReadAll(dir / "prog.Hex"), ":03000000010203F7\r\n:00000001FF\r\n");
}

TEST_F(FinalPassOutputs, SourceNamedLikeAnOutputIsNeverOverwritten) {
    const std::string source = "        ORG 0\n        DB 1,2,3\n";
    Put("prog.Hex", source);
    ws->SourceName = dir / "prog.Hex";
    NullPane firstPass;
    Assembler a(*ws, firstPass);
    a.Prohod1();
    a.RunFirstPass();
    a.SetPane(pane);
    EXPECT_TRUE(a.FinalPass());
    EXPECT_EQ(ReadAll(dir / "prog.Hex"), source);
    EXPECT_EQ(ReadAll(dir / "prog.Hex.Hex"), ":03000000010203F7\r\n:00000001FF\r\n");
    EXPECT_EQ(ReadAll(dir / "prog.Bin"), std::string("\x01\x02\x03", 3));
}

// --- Disassembler: .D51, plain and with labels ------------------------------

TEST_F(DataSafety, PlainDisassemblyWriteErrorKeepsThePreviousD51) {
    WriteBytes(dir / "prog.bin", {0x02, 0x00, 0x03, 0x80, 0xFE});
    Put("prog.D51", kOld);
    Disassembler dis(*ws);
    RecordingPane pane;
    FailAfter(20);
    EXPECT_THROW(dis.Deas(pane, dir / "prog.bin"), FileError);
    NoFailure();
    EXPECT_EQ(ReadAll(dir / "prog.D51"), kOld);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(DataSafety, LabelDisassemblyWriteErrorKeepsThePlainD51) {
    WriteBytes(dir / "prog.bin", {0x02, 0x00, 0x03, 0x80, 0xFE});
    Disassembler dis(*ws);
    RecordingPane pane, pane2;
    dis.Deas(pane, dir / "prog.bin");
    const std::string plain = ReadAll(dir / "prog.D51");
    ASSERT_FALSE(plain.empty());
    FailAfter(20);
    EXPECT_THROW(dis.DeasLbl(pane, pane2), FileError);
    NoFailure();
    EXPECT_EQ(ReadAll(dir / "prog.D51"), plain);
    EXPECT_TRUE(Leftovers().empty());
}

// --- Source pre-processing: .Trm --------------------------------------------

TEST_F(DataSafety, TrimWriteErrorKeepsThePreviousTrm) {
    Put("prog.a51", "START: NOP\n   SJMP START\n");
    Put("prog.Trm", kOld);
    RecordingPane pane;
    FailAfter(5);
    EXPECT_THROW(TrimSource(pane, *ws, dir / "prog.a51"), FileError);
    NoFailure();
    EXPECT_EQ(ReadAll(dir / "prog.Trm"), kOld);
    EXPECT_TRUE(Leftovers().empty());
}

// --- Emulation files: register dump and external RAM ------------------------

TEST_F(DataSafety, RegisterDumpWriteErrorKeepsThePreviousDump) {
    Put("regs.dmp", kOld);
    auto cpu = std::make_unique<Cpu51>();
    cpu->A() = 0x55;
    FailAfter(100);
    EXPECT_THROW(SaveRegs(*cpu, dir / "regs.dmp"), FileError);
    NoFailure();
    EXPECT_EQ(ReadAll(dir / "regs.dmp"), kOld);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(DataSafety, ExternalRamWriteErrorKeepsThePreviousFile) {
    Put("ext.bin", kOld);
    WriteBytes(dir / "load.bin", std::vector<std::uint8_t>(1000, 0xA5));
    auto cpu = std::make_unique<Cpu51>();
    ASSERT_TRUE(LoadExt(*cpu, dir / "load.bin").Ok());
    FailAfter(999);
    EXPECT_THROW(SaveExt(*cpu, dir / "ext.bin"), FileError);
    NoFailure();
    EXPECT_EQ(ReadAll(dir / "ext.bin"), kOld);
    EXPECT_TRUE(Leftovers().empty());
}

// --- HEX conversions: binary to HEX and HEX to binary -----------------------

TEST_F(DataSafety, BinToHexWriteErrorKeepsThePreviousHexAndTheImage) {
    WriteBytes(dir / "prog.bin", std::vector<std::uint8_t>(100, 0x12));
    Put("prog.hex", kOld);
    ws->BinName = "before.bin";
    ws->CodeImage.fill(0x77);
    RecordingPane pane;
    FailAfter(50);
    EXPECT_THROW(BinToHex(*ws, pane, dir / "prog.bin", dir / "prog.hex"), FileError);
    NoFailure();
    EXPECT_EQ(ReadAll(dir / "prog.hex"), kOld);
    EXPECT_EQ(ws->CodeImage[0], 0x77);  // documented: a failure changes nothing
    EXPECT_EQ(ws->BinName, "before.bin");
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(DataSafety, HexToBinWriteErrorKeepsThePreviousBinary) {
    Put("prog.hex", ":0400000001020304F2\r\n:00000001FF\r\n");
    Put("prog.bin", kOld);
    RecordingPane pane;
    const HexLoad load = ReadHexIntoImage(*ws, dir / "prog.hex");
    ASSERT_TRUE(load.hasData);
    FailAfter(2);
    EXPECT_THROW(WriteBinFromHex(*ws, pane, load, dir / "prog.bin"), FileError);
    NoFailure();
    EXPECT_EQ(ReadAll(dir / "prog.bin"), kOld);
    EXPECT_TRUE(Leftovers().empty());
}

}  // namespace
