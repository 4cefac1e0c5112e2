// The "while waiting" callback, called once per slice.
#include "snmp/wait_slices.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

WaitSlices::WaitSlices(WhileWaiting whileWaiting) : m_whileWaiting(std::move(whileWaiting)) {}

std::optional<WaitSlices::Clock::duration> WaitSlices::UntilDue() const {
    if (!m_whileWaiting) {
        return std::nullopt;
    }
    return std::max(m_due - Clock::now(), Clock::duration::zero());
}

void WaitSlices::ServeIfDue() {
    if (!m_whileWaiting || Clock::now() < m_due) {
        return;
    }
    m_whileWaiting();
    m_due = Clock::now() + kSlice;
}

}  // namespace tarnwick
