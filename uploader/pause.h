#pragma once
// Waiting between the bytes and commands sent to the port. The upload asks
// a Sleeper for every pause, so tests can count the pauses instead of
// sitting through them.

#include <chrono>

namespace tolvane {

class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void Pause(std::chrono::milliseconds duration) = 0;
};

class ThreadSleeper final : public Sleeper {
public:
    void Pause(std::chrono::milliseconds duration) override;
};

}  // namespace tolvane
