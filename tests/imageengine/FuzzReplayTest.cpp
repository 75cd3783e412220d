// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

// The fuzz targets' entry function, compiled into this test without libFuzzer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    if (fs::is_directory(folder)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void Replay(const std::vector<fs::path>& files)
{
    // The entry sets the worker count; keep it from leaking into other tests.
    const mtra::test::ScopedCoreCount cores(1);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream stream(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes(
            (std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
    }
}

const fs::path kFuzzFolder = MTRA_FUZZ_DIR;

// A failed check inside the entry aborts with its reason on stderr; out-of-bounds accesses
// show in the sanitizer builds of this test.
TEST(FuzzReplayTest, SeedCorpusRunsCleanly)
{
    const auto files = InputsIn(kFuzzFolder / "corpus" / "EngineFacadesFuzz");
    EXPECT_FALSE(files.empty());
    Replay(files);
}

TEST(FuzzReplayTest, RecordedCrashesRunCleanly)
{
    Replay(InputsIn(kFuzzFolder / "crashes" / "EngineFacadesFuzz"));
}

} // namespace
