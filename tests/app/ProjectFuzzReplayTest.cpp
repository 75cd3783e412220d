// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
// Replays the committed corpus and every recorded crash of the ProjectLoadFuzz target as ordinary tests.
#include "FuzzReplaySupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using mtra::test::FuzzInputsIn;
using mtra::test::ReplayFuzzInputs;

namespace {

const std::filesystem::path kFuzzFolder = MTRA_FUZZ_DIR;

TEST(ProjectFuzzReplayTest, SeedCorpusRunsCleanly)
{
    const auto files = FuzzInputsIn(kFuzzFolder / "corpus" / "ProjectLoadFuzz");
    EXPECT_FALSE(files.empty());
    ReplayFuzzInputs(files);
}

TEST(ProjectFuzzReplayTest, RecordedCrashesRunCleanly)
{
    ReplayFuzzInputs(FuzzInputsIn(kFuzzFolder / "crashes" / "ProjectLoadFuzz"));
}

} // namespace
