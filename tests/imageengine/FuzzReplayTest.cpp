// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
// Replays the committed corpus and every recorded crash of the EngineFacadesFuzz target as ordinary tests.
#include "FuzzReplaySupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using mtra::test::FuzzInputsIn;
using mtra::test::ReplayFuzzInputs;

namespace {

const std::filesystem::path kFuzzFolder = MTRA_FUZZ_DIR;

TEST(FuzzReplayTest, SeedCorpusRunsCleanly)
{
    const auto files = FuzzInputsIn(kFuzzFolder / "corpus" / "EngineFacadesFuzz");
    EXPECT_FALSE(files.empty());
    ReplayFuzzInputs(files);
}

TEST(FuzzReplayTest, RecordedCrashesRunCleanly)
{
    ReplayFuzzInputs(FuzzInputsIn(kFuzzFolder / "crashes" / "EngineFacadesFuzz"));
}

} // namespace
