#include "WorkItem.h"

#include <exception>

namespace velmora {

void WorkItem::Run() {
    poolOutcome = PoolOutcome::Completed;
    try {
        Execute();
    } catch (const std::exception& e) {
        poolOutcome = PoolOutcome::RaisedError;
        poolMessage = e.what();
    } catch (...) {
        poolOutcome = PoolOutcome::RaisedError;
        poolMessage = "Unknown error.";
    }
}

} // namespace velmora
