#pragma once

#include <atomic>

namespace velkaro {

// What the interface thread and a running report share: continueFlag is set when the report starts
// and cleared by Cancel; doneFlag is set once the generator thread has finished, whatever the outcome.
struct ReportFlags final
{
    std::atomic<int> continueFlag{0};
    std::atomic<int> doneFlag{0};
};

} // namespace velkaro
