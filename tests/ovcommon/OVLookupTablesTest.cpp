// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVLookupTables.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

using orv::OVLookupTables;

namespace {

TEST(OVLookupTablesTest, AlphaBlendScalesAndRoundsToNearest)
{
    const OVLookupTables tables(true);
    EXPECT_EQ(tables.AlphaBlend(255, 255), 255);
    EXPECT_EQ(tables.AlphaBlend(200, 0), 0);
    EXPECT_EQ(tables.AlphaBlend(0, 200), 0);
    EXPECT_EQ(tables.AlphaBlend(255, 128), 128);
    EXPECT_EQ(tables.AlphaBlend(100, 128), 50); // 50.196
    EXPECT_EQ(tables.AlphaBlend(3, 128), 2); // 1.506
}

TEST(OVLookupTablesTest, AlphaChannelBlendIsCoverageAndZeroOnlyForTwoZeros)
{
    const OVLookupTables tables(true);
    EXPECT_EQ(tables.AlphaChannelBlend(0, 0), 0);
    EXPECT_EQ(tables.AlphaChannelBlend(255, 0), 255);
    EXPECT_EQ(tables.AlphaChannelBlend(0, 255), 255);
    EXPECT_EQ(tables.AlphaChannelBlend(128, 128), 192); // 128 + 63.75
    for (int base = 0; base < 256; ++base) {
        for (int top = 0; top < 256; ++top) {
            const int a = tables.AlphaChannelBlend(
                static_cast<unsigned char>(base), static_cast<unsigned char>(top));
            ASSERT_GE(a, std::max(base, top));
            ASSERT_LE(a, 255);
            ASSERT_EQ(a == 0, base == 0 && top == 0);
        }
    }
}

TEST(OVLookupTablesTest, ReciprocalsAndDivisionTable)
{
    const OVLookupTables tables(true);
    EXPECT_FLOAT_EQ(tables.Invert(4), 0.25f);
    EXPECT_FLOAT_EQ(tables.Invert(255), 1.0f / 255.0f);
    EXPECT_FLOAT_EQ(tables.DivideBy255(51), 0.2f);
    const float* table = tables.DivideBy255Table();
    EXPECT_FLOAT_EQ(table[0], 0.0f);
    EXPECT_FLOAT_EQ(table[255], 1.0f);
    EXPECT_FLOAT_EQ(table[17], tables.DivideBy255(17));
}

// Values worked out by hand from the published W3C formulas (Cs = top, Cb = base).
struct BlendSample {
    const char* mode;
    unsigned char (OVLookupTables::*function)(unsigned char, unsigned char) const;
    unsigned char top;
    unsigned char base;
    unsigned char expected;
};

void PrintTo(const BlendSample& s, std::ostream* os)
{
    *os << s.mode << " (" << int(s.top) << ", " << int(s.base) << ")";
}

class BlendModeTest : public ::testing::TestWithParam<BlendSample>
{
};

TEST_P(BlendModeTest, MatchesPublishedDefinition)
{
    const BlendSample& s = GetParam();
    const OVLookupTables tables(true);
    const OVLookupTables direct(false);
    EXPECT_EQ((tables.*s.function)(s.top, s.base), s.expected) << s.mode;
    EXPECT_EQ((direct.*s.function)(s.top, s.base), s.expected) << s.mode;
}

INSTANTIATE_TEST_SUITE_P(Samples, BlendModeTest,
    ::testing::Values(BlendSample { "multiply", &OVLookupTables::MultiplyBlend, 128, 128, 64 },
        BlendSample { "multiply white", &OVLookupTables::MultiplyBlend, 255, 77, 77 },
        BlendSample { "screen", &OVLookupTables::ScreenBlend, 128, 128, 192 },
        BlendSample { "screen black", &OVLookupTables::ScreenBlend, 0, 77, 77 },
        BlendSample { "overlay dark base", &OVLookupTables::OverlayBlend, 255, 0, 0 },
        BlendSample { "overlay light base", &OVLookupTables::OverlayBlend, 0, 255, 255 },
        BlendSample { "overlay mid", &OVLookupTables::OverlayBlend, 200, 64, 100 },
        BlendSample { "hard light dark top", &OVLookupTables::HardLightBlend, 0, 200, 0 },
        BlendSample { "hard light white top", &OVLookupTables::HardLightBlend, 255, 0, 255 },
        BlendSample { "hard light mid", &OVLookupTables::HardLightBlend, 64, 200, 100 },
        BlendSample { "soft light light top", &OVLookupTables::SoftLightBlend, 128, 64, 64 },
        BlendSample { "soft light black top", &OVLookupTables::SoftLightBlend, 0, 128, 64 },
        BlendSample { "soft light dark base", &OVLookupTables::SoftLightBlend, 255, 51, 114 },
        BlendSample { "dodge black base", &OVLookupTables::ColorDodgeBlend, 200, 0, 0 },
        BlendSample { "dodge white top", &OVLookupTables::ColorDodgeBlend, 255, 10, 255 },
        BlendSample { "dodge", &OVLookupTables::ColorDodgeBlend, 128, 64, 129 },
        BlendSample { "burn white base", &OVLookupTables::ColorBurnBlend, 0, 255, 255 },
        BlendSample { "burn black top", &OVLookupTables::ColorBurnBlend, 0, 200, 0 },
        BlendSample { "burn", &OVLookupTables::ColorBurnBlend, 128, 192, 129 },
        BlendSample { "darken", &OVLookupTables::DarkenBlend, 10, 200, 10 },
        BlendSample { "lighten", &OVLookupTables::LightenBlend, 10, 200, 200 },
        BlendSample { "difference", &OVLookupTables::DifferenceBlend, 10, 200, 190 },
        BlendSample { "difference reversed", &OVLookupTables::DifferenceBlend, 200, 10, 190 },
        BlendSample { "exclusion", &OVLookupTables::ExclusionBlend, 255, 255, 0 },
        BlendSample { "exclusion mid", &OVLookupTables::ExclusionBlend, 128, 128, 127 }),
    [](const ::testing::TestParamInfo<BlendSample>& param) {
        std::string name = param.param.mode;
        for (char& ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

TEST(OVLookupTablesTest, TablesEqualDirectComputationEverywhere)
{
    const OVLookupTables tables(true);
    const OVLookupTables direct(false);
    using Fn = unsigned char (OVLookupTables::*)(unsigned char, unsigned char) const;
    const Fn functions[] = { &OVLookupTables::AlphaBlend, &OVLookupTables::MultiplyBlend,
        &OVLookupTables::ScreenBlend, &OVLookupTables::OverlayBlend,
        &OVLookupTables::SoftLightBlend, &OVLookupTables::HardLightBlend,
        &OVLookupTables::ColorDodgeBlend, &OVLookupTables::ColorBurnBlend,
        &OVLookupTables::DarkenBlend, &OVLookupTables::LightenBlend,
        &OVLookupTables::DifferenceBlend, &OVLookupTables::ExclusionBlend };
    for (const Fn fn : functions) {
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                const auto x = static_cast<unsigned char>(a);
                const auto y = static_cast<unsigned char>(b);
                ASSERT_EQ((tables.*fn)(x, y), (direct.*fn)(x, y)) << a << ", " << b;
            }
        }
    }
    for (int a = 1; a < 256; ++a)
        ASSERT_FLOAT_EQ(tables.Invert(static_cast<unsigned char>(a)),
            direct.Invert(static_cast<unsigned char>(a)));
}

TEST(OVLookupTablesTest, CopiesShareTheTablesAndOutliveTheOriginal)
{
    // Every object reads the one process-wide table, so only the precompute flag shows
    // whether an assignment or a copy took the other object's state.
    const float* table = nullptr;
    OVLookupTables assigned(false);
    ASSERT_FALSE(assigned.IsPrecomputed());
    {
        const OVLookupTables original(true);
        table = original.DivideBy255Table();
        assigned = original;
        const OVLookupTables copied(original);
        EXPECT_TRUE(copied.IsPrecomputed());
    }
    EXPECT_TRUE(assigned.IsPrecomputed());
    EXPECT_EQ(assigned.DivideBy255Table(), table);
    EXPECT_EQ(assigned.MultiplyBlend(128, 128), 64);

    // And back: a direct object assigned over a precomputed one computes directly.
    assigned = OVLookupTables(false);
    EXPECT_FALSE(assigned.IsPrecomputed());
    EXPECT_EQ(assigned.MultiplyBlend(128, 128), 64);
}

TEST(OVLookupTablesTest, SafeFromManyThreadsAtOnce)
{
    // Construction races on the first use of the shared tables; run under TSan.
    std::vector<std::thread> threads;
    std::vector<int> sums(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t, &sums] {
            const OVLookupTables tables(true);
            int sum = 0;
            for (int a = 0; a < 256; ++a)
                sum += tables.ScreenBlend(static_cast<unsigned char>(a), 100);
            sums[t] = sum;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int sum : sums)
        EXPECT_EQ(sum, sums[0]);
}

} // namespace
