// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "FuzzCheck.h"
#include "ScopedCoreCount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <exception>
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

using FuzzEntry = int (*)(const std::uint8_t* data, std::size_t size);

/// Runs `entry` once per file. A broken expectation of the target (`mtra::fuzz::Fail`) or any
/// exception that escapes it fails the test with the input's name and the reason, and the
/// other inputs still run; out-of-bounds accesses show in the sanitizer builds.
inline void ReplayFuzzInputs(
    const std::vector<std::filesystem::path>& files, FuzzEntry entry = &LLVMFuzzerTestOneInput)
{
    // An entry may set the worker count; keep it from leaking into other tests.
    const ScopedCoreCount cores(1);
    for (const std::filesystem::path& file : files) {
        std::ifstream stream(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes(
            (std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        try {
            entry(bytes.data(), bytes.size());
        } catch (const std::exception& e) {
            ADD_FAILURE() << file.string() << ": " << e.what();
        } catch (...) {
            ADD_FAILURE() << file.string() << ": an exception of unknown type";
        }
    }
}

} // namespace mtra::test
