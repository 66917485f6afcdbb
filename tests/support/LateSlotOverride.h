#pragma once
// Puts a fake into the slot of a late-bound function for the life of the object, so that the
// code under test calls the fake instead of the system library.
#include "system/LateBoundFunction.h"

template <typename Fn> class LateSlotOverride {
public:
    LateSlotOverride(CLateBoundFunction<Fn>& slot, Fn fake)
        : m_slot(slot), m_previous(slot.Set(fake)) {}
    ~LateSlotOverride() { m_slot.Set(m_previous); }
    LateSlotOverride(const LateSlotOverride&) = delete;
    LateSlotOverride& operator=(const LateSlotOverride&) = delete;

private:
    CLateBoundFunction<Fn>& m_slot;
    Fn m_previous;
};
