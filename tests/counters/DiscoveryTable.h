#pragma once
// The name matching of both byte counter back ends as tables: a row lists a source's objects and
// the paths that discovery has to find in them for the two byte counter ids.
#include "counters/TrafficCounter.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

// Stands for a path that discovery did not find, so that a failed comparison names the miss.
const char NOT_FOUND[] = "<none>";

template <class TCounter> std::string FoundPath(const TCounter& counter, DWORD dwId) {
    const std::string* path = counter.FindPath(dwId);
    return path ? *path : std::string(NOT_FOUND);
}

template <class TObject> struct DiscoveryCase {
    const char* name;
    std::vector<TObject> objects;
    std::string received, sent; // the paths to find, or NOT_FOUND
};

template <class TObject> void PrintTo(const DiscoveryCase<TObject>& c, std::ostream* os) {
    *os << c.name;
}

// Opens the counter on the row's objects: the paths it finds, and that an id can be added
// exactly when its path was found.
template <class TCounter, class TObject>
void ExpectDiscovered(TCounter& counter, const DiscoveryCase<TObject>& c) {
    ASSERT_TRUE(counter.Open());
    for (const auto& wanted : {std::make_pair(COUNTER_BYTES_RECEIVED, c.received),
                               std::make_pair(COUNTER_BYTES_SENT, c.sent)}) {
        SCOPED_TRACE("counter id " + std::to_string(wanted.first));
        EXPECT_EQ(wanted.second, FoundPath(counter, wanted.first));
        EXPECT_EQ(wanted.second != NOT_FOUND, counter.AddCounter(wanted.first) != FALSE);
    }
}
