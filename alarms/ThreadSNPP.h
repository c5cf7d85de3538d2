#pragma once
// One pager message over SNPP (level 1): PAGE, MESS, SEND, QUIT.
#include "alarms/AlarmMethodSettings.h"
#include "alarms/AlarmSender.h"

namespace velmora {

// MESS carries one line: the lines of a text with CR or LF are joined with a blank.
std::string OneLine(const std::string& text);

class ThreadSNPP : public AlarmSender {
public:
    ThreadSNPP(const AlarmMethodSettings::Snpp& settings, std::string pagerId, std::string text);
    void Execute() override;

private:
    AlarmMethodSettings::Snpp settings_;
    std::string pagerId_;
    std::string text_;
};

} // namespace velmora
