#pragma once
// A back end whose enumeration callbacks write down what they were given, so that a test can
// compare the walk with the source's contents, and whose lists end after a limit the test sets.
#include "counters/TrafficCounter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

template <class TBackEnd> class RecordingCounter : public TBackEnd {
public:
    using TBackEnd::TBackEnd;

    // Discovery is not under test here: nothing is found to add.
    BOOL AddCounter(DWORD) override { return FALSE; }
    BOOL OnObject(const char* szObject) override {
        events.push_back("object " + std::string(szObject));
        return ++objects < objectLimit;
    }
    BOOL OnCounter(const char* szObject, const char* szCounter) override {
        events.push_back("counter " + std::string(szObject) + "/" + szCounter);
        return ++counters < counterLimit;
    }

    // A second walk that ends after the given number of objects or counters.
    void StopObjectsAfter(int limit) {
        events.clear();
        objects = 0;
        objectLimit = limit;
    }
    void StopCountersAfter(int limit) {
        events.clear();
        counters = 0;
        counterLimit = limit;
    }

    std::vector<std::string> events;
    int objects = 0, counters = 0;
    int objectLimit = 100, counterLimit = 100;
};

// Both back ends list their objects in the source's order and end the list at the first FALSE.
template <class TBackEnd>
void ExpectObjectWalks(RecordingCounter<TBackEnd>& counter, const std::vector<std::string>& all,
                       int limit, const std::vector<std::string>& upToLimit) {
    EXPECT_TRUE(counter.EnumObjects());
    EXPECT_EQ(all, counter.events);
    counter.StopObjectsAfter(limit);
    EXPECT_TRUE(counter.EnumObjects());
    EXPECT_EQ(upToLimit, counter.events);
}
