#pragma once

#include <gtest/gtest.h>

#include <string>

namespace sveltor::test {

// Names each case of a table after its Title, so a failure reads as the rule it breaks.
struct TCaseTitle {
    template <class TCase> std::string operator()(const testing::TestParamInfo<TCase>& row) const {
        return row.param.Title;
    }
};

} // namespace sveltor::test
