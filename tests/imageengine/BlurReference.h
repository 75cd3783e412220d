// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <cstdint>
#include <vector>

/// Direct (slow, obviously right) blurs of one line of samples, for comparing the running-sum
/// stages against.
namespace mtra::test {

/// Weight of line position j in the stack-blur window of radius r centred on x, over a line of
/// n samples whose ends repeat: the weights r + 1 − |k| of every offset k that lands on j once
/// clamped.
inline std::int64_t StackWeight(long long j, long long x, long long n, long long r)
{
    if (n == 1)
        return (r + 1) * (r + 1);
    // Offsets reaching or passing an end: a run of weights r + 1 − m for m = from … r.
    auto run = [r](long long from) { return from > r ? 0 : (r + 1 - from) * (r + 2 - from) / 2; };
    if (j == 0)
        return run(x);
    if (j == n - 1)
        return run(n - 1 - x);
    const long long distance = j > x ? j - x : x - j;
    return distance > r ? 0 : r + 1 - distance;
}

/// Stack blur of a line: Σ weight × sample ÷ (r + 1)², truncated.
inline std::vector<int> StackBlurLine(const std::vector<int>& line, long long r)
{
    const long long n = static_cast<long long>(line.size());
    const std::int64_t divisor = (r + 1) * (r + 1);
    std::vector<int> out(line.size());
    for (long long x = 0; x < n; ++x) {
        std::int64_t sum = 0;
        for (long long j = 0; j < n; ++j)
            sum += StackWeight(j, x, n, r) * line[static_cast<std::size_t>(j)];
        out[static_cast<std::size_t>(x)] = static_cast<int>(sum / divisor);
    }
    return out;
}

/// Box blur of a line: the truncated mean of the samples within r that lie inside the line.
inline std::vector<int> BoxBlurLine(const std::vector<int>& line, long long r)
{
    const long long n = static_cast<long long>(line.size());
    std::vector<int> out(line.size());
    for (long long x = 0; x < n; ++x) {
        int sum = 0;
        int count = 0;
        for (long long j = x - r; j <= x + r; ++j) {
            if (j >= 0 && j < n) {
                sum += line[static_cast<std::size_t>(j)];
                ++count;
            }
        }
        out[static_cast<std::size_t>(x)] = sum / count;
    }
    return out;
}

/// Applies a line blur to byte `channel` of a four-byte-per-pixel buffer, along every row
/// (rows true) or every column.
template <typename LineBlur>
void BlurChannel(std::vector<std::uint8_t>& bytes, long long width, long long height, int channel,
    bool rows, const LineBlur& blur)
{
    const long long lines = rows ? height : width;
    const long long length = rows ? width : height;
    for (long long l = 0; l < lines; ++l) {
        auto index = [&](long long i) {
            const long long x = rows ? i : l;
            const long long y = rows ? l : i;
            return static_cast<std::size_t>((y * width + x) * 4 + channel);
        };
        std::vector<int> line(static_cast<std::size_t>(length));
        for (long long i = 0; i < length; ++i)
            line[static_cast<std::size_t>(i)] = bytes[index(i)];
        const std::vector<int> out = blur(line);
        for (long long i = 0; i < length; ++i)
            bytes[index(i)] = static_cast<std::uint8_t>(out[static_cast<std::size_t>(i)]);
    }
}

} // namespace mtra::test
