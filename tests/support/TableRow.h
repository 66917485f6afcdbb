#pragma once
// Rows of the value-parameterized tables name their cases: each row type has a `name`, which
// INSTANTIATE_TEST_SUITE_P takes through RowName, so that listings, failures and GTEST_FILTER
// show the row instead of an index.
#include <gtest/gtest.h>

#include <string>

struct RowName {
    template <class Row> std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
        return info.param.name;
    }
};
