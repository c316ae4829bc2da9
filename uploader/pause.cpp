#include "uploader/pause.h"

#include <thread>

namespace tolvane {

void ThreadSleeper::Pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace tolvane
