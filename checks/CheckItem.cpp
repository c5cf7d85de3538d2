#include "CheckItem.h"

#include <cmath>

namespace velmora {

long long CheckItem::ElapsedMs(std::chrono::steady_clock::time_point start) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<long long>(std::nearbyint(std::fabs(ms)));
}

} // namespace velmora
