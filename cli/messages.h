// Where tarnwick-cli's messages go: one line each, and the progress of a read.
#pragma once

#include <string>

namespace tarnwick::cli {

class Messages {
public:
    virtual ~Messages() = default;
    // One message, one line.
    virtual void Show(const std::string& text) = 0;
    // A read has begun, or moved on: "reading VLAN ID, VLAN name".
    virtual void Reading(std::string step) = 0;
    // The read has ended.
    virtual void ReadDone() = 0;
};

}  // namespace tarnwick::cli
