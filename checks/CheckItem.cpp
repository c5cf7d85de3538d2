#include "CheckItem.h"

#include <cmath>

namespace velmora {

long long CheckItem::ElapsedMs(std::chrono::steady_clock::time_point start) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<long long>(std::nearbyint(std::fabs(ms)));
}

void CheckItem::TimedProbe(const std::function<void()>& probe,
                           const std::function<std::string(const std::exception&)>& errorText,
                           const std::function<void()>& cleanup) {
    const auto start = std::chrono::steady_clock::now();
    try {
        probe();
    } catch (const std::exception& e) {
        SetFailed();
        result_text = errorText(e);
    }
    try {
        cleanup();
    } catch (...) {
        // Errors while closing are of no interest to the outcome.
    }
    response_time = ElapsedMs(start);
}

} // namespace velmora
