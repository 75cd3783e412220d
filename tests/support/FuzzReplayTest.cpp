// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
// Replays the committed corpus and every recorded crash of one fuzz target as ordinary tests.
// Built once per target (mtra_add_fuzz_replay_test): MTRA_FUZZ_TARGET names the target's
// folders, MTRA_FUZZ_SUITE the test suite.
#include "FuzzReplaySupport.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>

using mtra::test::FuzzInputsIn;
using mtra::test::ReplayFuzzInputs;

namespace {

const std::filesystem::path kFuzzFolder = MTRA_FUZZ_DIR;

TEST(MTRA_FUZZ_SUITE, SeedCorpusRunsCleanly)
{
    const auto files = FuzzInputsIn(kFuzzFolder / "corpus" / MTRA_FUZZ_TARGET);
    EXPECT_FALSE(files.empty());
    ReplayFuzzInputs(files);
}

TEST(MTRA_FUZZ_SUITE, RecordedCrashesRunCleanly)
{
    ReplayFuzzInputs(FuzzInputsIn(kFuzzFolder / "crashes" / MTRA_FUZZ_TARGET));
}

// The replay must fail when the target finds something wrong: the target's checks throw here
// instead of aborting the whole test program.
TEST(MTRA_FUZZ_SUITE, BrokenExpectationFailsTheReplay)
{
    const auto files = FuzzInputsIn(kFuzzFolder / "corpus" / MTRA_FUZZ_TARGET);
    ASSERT_FALSE(files.empty());
    EXPECT_NONFATAL_FAILURE(ReplayFuzzInputs({ files.front() },
                                [](const std::uint8_t*, std::size_t) -> int {
                                    mtra::fuzz::Fail("target", "expectation broken");
                                }),
        "target: expectation broken");
}

} // namespace
