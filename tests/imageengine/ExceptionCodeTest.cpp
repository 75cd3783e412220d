// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "ExceptionCode.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <ostream>
#include <stdexcept>
#include <string>

using namespace orv::image;

namespace {

struct Case {
    std::string name;
    std::function<void()> raise;
    int facadeCode; // default 2
    int workerCode; // default 1001
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class ExceptionCodeTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(ExceptionCodeTest, MapsByExactDynamicType)
{
    const Case& c = GetParam();
    EXPECT_EQ(GuardedCall(2,
                  [&] {
                      c.raise();
                      return 0;
                  }),
        c.facadeCode)
        << c.name;
    EXPECT_EQ(GuardedCall(1001,
                  [&] {
                      c.raise();
                      return 0;
                  }),
        c.workerCode)
        << c.name;
}

struct NotStandard {
};

INSTANTIATE_TEST_SUITE_P(Types, ExceptionCodeTest,
    ::testing::Values(Case { "bad_alloc", [] { throw std::bad_alloc(); }, 8, 8 },
        Case { "runtime_error", [] { throw std::runtime_error("x"); }, 2, 2 },
        Case { "logic_error", [] { throw std::logic_error("x"); }, 3, 3 },
        Case { "invalid_argument", [] { throw std::invalid_argument("x"); }, 4, 4 },
        Case { "out_of_range", [] { throw std::out_of_range("x"); }, 7, 7 },
        // Subclasses not in the list take the default, not their base's code.
        Case { "length_error", [] { throw std::length_error("x"); }, 2, 1001 },
        Case { "overflow_error", [] { throw std::overflow_error("x"); }, 2, 1001 },
        Case { "bad_array_new_length", [] { throw std::bad_array_new_length(); }, 2, 1001 },
        Case { "exception", [] { throw std::exception(); }, 2, 1001 },
        Case { "not standard", [] { throw NotStandard(); }, 2, 1001 }),
    [](const ::testing::TestParamInfo<Case>& param) {
        std::string name = param.param.name;
        for (char& ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

TEST(ExceptionCodeTest, ReturnsTheResultWhenNothingIsThrown)
{
    EXPECT_EQ(GuardedCall(2, [] { return 7; }), 7);
    EXPECT_EQ(CodeForException(nullptr, 1001), 1001);
}

} // namespace
