#pragma once
// A Value Change Dump of the port pins and PC, for waveform viewers
// (GTKWave, PulseView): one 1-bit signal per pin P0.0..P3.7 (named P0_0 ..
// P3_7) and PC as a 16-bit bus. Time counts in nanoseconds from the start
// of the run: machine cycles times 12 crystal periods.
//
// The file is built beside its target and takes its name only at Finish,
// so a run that fails leaves any earlier file as it was.

#include <array>
#include <cstdint>
#include <string>

#include "core/fileio.h"

namespace z51 {

using PortBytes = std::array<std::uint8_t, 4>;  // P0, P1, P2, P3

class VcdWriter {
public:
    // Writes the header and the values at time 0. Raises FileError.
    VcdWriter(const std::string& path, std::uint64_t xtalHz, const PortBytes& ports, std::uint16_t pc);

    // The pins and PC after `cycles` machine cycles: writes what changed.
    void Sample(std::uint64_t cycles, const PortBytes& ports, std::uint16_t pc);
    // Ends the dump at `cycles` and gives the file its name. Raises FileError.
    void Finish(std::uint64_t cycles);

    // Nanoseconds of `cycles` machine cycles at `xtalHz`, rounded.
    static std::uint64_t Nanoseconds(std::uint64_t cycles, std::uint64_t xtalHz);

private:
    void Time(std::uint64_t cycles);
    void Flush(bool always);

    AtomicFile file_;
    std::uint64_t xtal_;
    std::string buf_;
    PortBytes ports_;
    std::uint16_t pc_;
    std::uint64_t written_ = 0;  // the last time written
};

}  // namespace z51
