// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "ScopedCoreCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

// The fuzz target's entry function, compiled into the replay test without libFuzzer.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace mtra::test {

/// The inputs of a corpus or crash folder, sorted, without hidden files (.gitkeep); empty when
/// the folder does not exist.
inline std::vector<std::filesystem::path> FuzzInputsIn(const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
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

/// Runs the entry once per file. A failed check inside the entry aborts with its reason on
/// stderr; out-of-bounds accesses show in the sanitizer builds.
inline void ReplayFuzzInputs(const std::vector<std::filesystem::path>& files)
{
    // An entry may set the worker count; keep it from leaking into other tests.
    const ScopedCoreCount cores(1);
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream stream(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes(
            (std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
    }
}

} // namespace mtra::test
