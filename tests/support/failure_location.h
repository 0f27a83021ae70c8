#pragma once

#include "common/alb_exception.h"

#include <cstdint>
#include <functional>
#include <ostream>

// Where a failure was reported: the message and the module, place and step of its location.
struct FailureLocation
{
    std::uint32_t id = 0, module = 0, place = 0, step = 0;
    bool operator==(const FailureLocation &) const = default;
};

inline std::ostream &operator<<(std::ostream &out, const FailureLocation &l)
{
    return out << l.id << " at " << l.module << ":" << l.place << ":" << l.step;
}

// The location of the CAlbException action throws; all zero when it throws none.
inline FailureLocation FailureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const CAlbException &e) {
        return { e.messageId, e.module, e.place, e.step };
    }
    return {};
}
