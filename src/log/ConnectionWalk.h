#pragma once
// A walk over the connection list in report order (oldest first or newest first) that removes
// the connections it is told to drop and hands every other one to a visitor. Kept connections
// close up as the walk goes, so the walk costs one pass however many it drops. When the visitor
// throws, the walk stops there: the dropped ones are gone, the rest stays in its order.
#include "log/CConnectionList.h"

#include <cstddef>

template <typename Drop, typename Visit>
void WalkConnectionList(CConnectionList& list, bool bOldestFirst, Drop drop, Visit visit) {
    const auto at = [&list](std::size_t index) {
        return list.begin() + static_cast<std::ptrdiff_t>(index);
    };
    if (bOldestFirst) {
        // [0, kept) the kept ones in order, [kept, next) free slots, [next, end) not reached.
        std::size_t kept = 0;
        std::size_t next = 0;
        try {
            for (; next < list.size(); ++next) {
                if (drop(list[next]))
                    continue;
                visit(list[next]);
                if (kept != next)
                    list[kept] = list[next];
                ++kept;
            }
        } catch (...) {
            list.erase(at(kept), at(next));
            throw;
        }
        list.erase(at(kept), at(next));
    } else {
        // [0, next) not reached, [next, kept) free slots, [kept, end) the kept ones in order.
        std::size_t kept = list.size();
        std::size_t next = list.size();
        try {
            for (; next > 0; --next) {
                const std::size_t current = next - 1;
                if (drop(list[current]))
                    continue;
                visit(list[current]);
                if (--kept != current)
                    list[kept] = list[current];
            }
        } catch (...) {
            list.erase(at(next), at(kept));
            throw;
        }
        list.erase(at(next), at(kept));
    }
}
