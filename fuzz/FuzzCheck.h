// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace mtra::fuzz {

/// A broken expectation of a fuzz target, as the replay tests see it.
class CheckFailed : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// Reports a broken expectation of `target`. Under libFuzzer the run aborts, so that the
/// input is kept as a crash; compiled into a replay test (MTRA_FUZZ_REPLAY) it throws
/// `CheckFailed`, so that the test names the input and the reason and the other inputs still
/// run.
[[noreturn]] inline void Fail(const char* target, const std::string& what)
{
#if defined(MTRA_FUZZ_REPLAY)
    throw CheckFailed(std::string(target) + ": " + what);
#else
    std::fprintf(stderr, "%s: %s\n", target, what.c_str());
    std::fflush(stderr);
    std::abort();
#endif
}

} // namespace mtra::fuzz
