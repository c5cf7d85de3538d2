#include "EngineTestSupport.h"

#include <thread>

namespace velmora::test {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "engine-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    App();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return done();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void RunFor(std::chrono::milliseconds d) {
    App();
    const auto deadline = std::chrono::steady_clock::now() + d;
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace velmora::test
