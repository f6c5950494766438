#include "common/ThreadState.h"

namespace varkel {

ThreadState& CurrentThreadState() {
    thread_local ThreadState state;
    return state;
}

} // namespace varkel
