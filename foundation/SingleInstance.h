#pragma once
// Refuses a second console on the same application directory: an exclusive flock on
// <app>/conf/VelmoraPro.lock, held for the life of the object.
#include <string>

namespace velmora {

class SingleInstance {
public:
    explicit SingleInstance(const std::string& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the lock.
    bool Acquired() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace velmora
