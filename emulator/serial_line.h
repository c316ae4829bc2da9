#pragma once
// A serial line made of two byte buffers: the bytes queued for the chip to
// receive, and the bytes the chip transmitted, collected until taken.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "emulator/cpu51.h"

namespace z51 {

class ByteLine : public SerialLine {
public:
    // Bytes for the chip to receive, after those already queued.
    void Queue(std::string_view bytes) {
        in_.erase(0, pos_);
        pos_ = 0;
        in_.append(bytes);
    }
    // What the chip transmitted since the last call.
    std::string TakeTransmitted() { return std::exchange(out_, std::string()); }
    std::size_t Pending() const { return in_.size() - pos_; }

    void Transmit(std::uint8_t byte) override { out_ += static_cast<char>(byte); }
    bool Waiting() const override { return pos_ < in_.size(); }
    std::uint8_t Receive() override { return static_cast<std::uint8_t>(in_[pos_++]); }

private:
    std::string in_;
    std::size_t pos_ = 0;
    std::string out_;
};

}  // namespace z51
