#pragma once
// Helpers of the engine tests: one QCoreApplication for the process and a way to run its
// event loop until something has happened.
#include <QCoreApplication>

#include <chrono>
#include <functional>

namespace velmora::test {

QCoreApplication& App();

// Processes events until `done` holds or `timeout` passed; returns `done()`.
bool RunUntil(const std::function<bool()>& done,
              std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Processes events for `d`.
void RunFor(std::chrono::milliseconds d);

} // namespace velmora::test
