// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "ColorDifferenceKeyer.h"

#include "ImageAccess.h"
#include "WorkSplit.h"
#include "WorkerThreads.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageKeyer.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "pixels are read as little-endian words");

namespace orv::image {

namespace {

// Worker record of the statistics pass.
struct MatteThreadData {
    unsigned char threadIndex;
    const OVAbstractImage* source;
    unsigned char* matte;
    MatteInfo* matteInfo;
    OVKeyColor keyColor;
    double greyDetail;
    double greyThreshold;
    unsigned char threadCount;
};

// Difference D of the key colour over the larger of the two other channels; dominant when
// positive. Any colour other than green or blue gives 0.
inline int Difference(unsigned char b0, unsigned char b1, unsigned char b2, OVKeyColor keyColor)
{
    if (keyColor == KeyColorGreen)
        return int(b1) - int(std::max(b0, b2));
    if (keyColor == KeyColorBlue)
        return int(b0) - int(std::max(b1, b2));
    return 0;
}

// Block of pixels whose statistics fit 32-bit lanes (255 × 65536 < 2^31), so that the
// compiler can keep the inner loops in vector registers; totals go to 64 bits per block.
constexpr std::size_t kStatisticsBlock = 65536;

template <int KeyByte, int OtherA, int OtherB>
void MatteRangeNoGrey(
    const unsigned char* in, unsigned char* matte, std::size_t count, MatteInfo& info)
{
    int minimum = 255;
    int maximum = 0;
    for (std::size_t start = 0; start < count; start += kStatisticsBlock) {
        const std::size_t end = std::min(count, start + kStatisticsBlock);
        std::int32_t dominant = 0;
        std::int32_t sum = 0;
        for (std::size_t i = start; i < end; ++i) {
            const unsigned char* p = in + i * 4;
            const int d = int(p[KeyByte]) - int(std::max(p[OtherA], p[OtherB]));
            const int positive = d > 0 ? d : 0;
            dominant += d > 0;
            sum += positive;
            minimum = std::min(minimum, d > 0 ? d : 255);
            maximum = std::max(maximum, d);
            matte[i] = static_cast<unsigned char>(positive);
        }
        info.count += dominant;
        info.sum += sum;
    }
    info.minimum = minimum;
    info.maximum = maximum;
}

// With a grey limit, the matte value of a dominant pixel depends only on its difference D and
// its chroma range S: look it up in a table built once per worker.
template <int KeyByte, int OtherA, int OtherB>
void MatteRangeGrey(const unsigned char* in, unsigned char* matte, std::size_t count,
    MatteInfo& info, const unsigned char* valueTable)
{
    std::int64_t dominant = 0;
    std::int64_t sum = 0;
    int minimum = 255;
    int maximum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* p = in + i * 4;
        const int other = std::max(p[OtherA], p[OtherB]);
        const int d = int(p[KeyByte]) - other;
        if (d > 0) {
            ++dominant;
            sum += d;
            minimum = std::min(minimum, d);
            maximum = std::max(maximum, d);
            // The key byte is the maximum of a dominant pixel.
            const int s = int(p[KeyByte]) - int(std::min(p[OtherA], p[OtherB]));
            matte[i] = valueTable[d * 256 + s];
        } else {
            matte[i] = 0;
        }
    }
    info.count = dominant;
    info.sum = sum;
    info.minimum = minimum;
    info.maximum = maximum;
}

void MatteWorker(const MatteThreadData& data)
{
    const std::size_t pixels = PixelCount(data.source);
    const WorkRange range = ThreadPixelRange(pixels, data.threadIndex, data.threadCount);
    const int greyLimit = static_cast<int>(data.greyDetail * 255);
    const double greyLevel = data.greyThreshold * greyLimit;
    const unsigned char* in = Bytes(data.source) + range.begin * 4;
    unsigned char* matte = data.matte + range.begin;
    MatteInfo info;

    if (data.keyColor != KeyColorGreen && data.keyColor != KeyColorBlue) {
        // Nothing is dominant: the matte is empty and the record keeps its start values.
        std::fill(matte, matte + range.Size(), 0);
        *data.matteInfo = info;
        return;
    }
    const bool green = data.keyColor == KeyColorGreen;
    if (greyLimit == 0) {
        if (green)
            MatteRangeNoGrey<1, 0, 2>(in, matte, range.Size(), info);
        else
            MatteRangeNoGrey<0, 1, 2>(in, matte, range.Size(), info);
    } else {
        std::vector<unsigned char> valueTable(256 * 256, 0);
        for (int d = 1; d < 256; ++d) {
            for (int s = d; s < 256; ++s) {
                // A pixel with bytes (0, d, s − d) has difference d and range s for green;
                // the value depends on nothing else.
                const int v = ColorDifferenceKeyer::MatteValue(0, static_cast<unsigned char>(s),
                    static_cast<unsigned char>(s - d), KeyColorGreen, greyLimit, greyLevel,
                    data.greyThreshold);
                valueTable[std::size_t(d) * 256 + s] = static_cast<unsigned char>(v);
            }
        }
        if (green)
            MatteRangeGrey<1, 0, 2>(in, matte, range.Size(), info, valueTable.data());
        else
            MatteRangeGrey<0, 1, 2>(in, matte, range.Size(), info, valueTable.data());
    }
    *data.matteInfo = info;
}

} // namespace

ColorDifferenceKeyer::ColorDifferenceKeyer(OVKeyColor keyColor, double keyDetail, double greyDetail,
    double greyThreshold, const OVLookupTables& tables)
    : m_keyColor(keyColor)
    , m_keyDetail(keyDetail)
    , m_greyDetail(greyDetail)
    , m_greyThreshold(greyThreshold)
    , m_tables(&tables)
{
}

int ColorDifferenceKeyer::MatteValue(unsigned char b0, unsigned char b1, unsigned char b2,
    OVKeyColor keyColor, int greyLimit, double greyLevel, double greyThreshold)
{
    const int d = Difference(b0, b1, b2, keyColor);
    if (d <= 0)
        return 0;
    const int s = int(std::max({ b0, b1, b2 })) - int(std::min({ b0, b1, b2 }));
    int v = d;
    if (s < greyLimit) {
        if (s < greyLevel) {
            v = 0;
        } else {
            // Rises linearly from 0 at S = L to D at S = T.
            v = static_cast<int>(
                d - d * std::fabs((s - greyLevel) / ((1.0 - greyThreshold) * greyLimit) - 1.0));
        }
    }
    return std::clamp(v, 0, 255);
}

void ColorDifferenceKeyer::RunStatistics(const OVAbstractImage* source, unsigned workers)
{
    std::vector<MatteThreadData> records(workers);
    for (unsigned i = 0; i < workers; ++i) {
        records[i] = MatteThreadData { static_cast<unsigned char>(i), source, m_matte.get(),
            &m_matteInfo[i], m_resolvedKeyColor, m_greyDetail, m_greyThreshold,
            static_cast<unsigned char>(workers) };
    }
    RunWorkerThreads(workers, [&records](unsigned i) {
        MatteWorker(records[i]);
        return 0;
    });
}

void ColorDifferenceKeyer::Prepare(OVAbstractImage* source)
{
    const unsigned workers = WorkerCount();
    m_resolvedKeyColor = m_keyColor;
    if (m_keyColor == KeyColorAuto)
        AutoDetectKeyColor(
            static_cast<OVImage8*>(source), static_cast<int>(workers), &m_resolvedKeyColor);

    const std::size_t pixels = PixelCount(source);
    m_matte.reset(new unsigned char[std::max<std::size_t>(pixels, 1)]);
    m_matteInfo.reset(new MatteInfo[workers]);
    RunStatistics(source, workers);

    std::int64_t totalCount = 0;
    std::int64_t totalSum = 0;
    int minimum = 255;
    int maximum = 0;
    for (unsigned i = 0; i < workers; ++i) {
        totalCount += m_matteInfo[i].count;
        totalSum += m_matteInfo[i].sum;
        minimum = std::min(minimum, int(m_matteInfo[i].minimum));
        maximum = std::max(maximum, int(m_matteInfo[i].maximum));
    }
    const double mid = (minimum + maximum) * 0.5;
    // With no dominant pixel every matte value is 0 ≤ minimum (255), so the level is never
    // consulted; avoid 0 ÷ 0.
    const double mean = totalCount > 0 ? double(totalSum) / double(totalCount) : mid;
    m_level = mid + (mean - mid) * m_keyDetail;
    m_minimum = minimum;

    for (int m = 0; m < 256; ++m) {
        int a;
        if (m <= m_minimum)
            a = 0;
        else if (m >= m_level)
            a = 255;
        else
            a = static_cast<int>((m - m_minimum) / (m_level - m_minimum) * 255);
        m_keptAlpha[m] = static_cast<unsigned char>(255 - std::clamp(a, 0, 255));
    }
}

void ColorDifferenceKeyer::Render(OVAbstractImage* source, OVAbstractImage* destination,
    unsigned char threadIndex, unsigned char threadCount)
{
    if (source->BitsPerChannel() != Bits8 || !m_matte)
        return;
    const WorkRange range = ThreadPixelRange(PixelCount(source), threadIndex, threadCount);
    const unsigned char* in = Bytes(source) + range.begin * 4;
    unsigned char* out = Bytes(destination) + range.begin * 4;
    const unsigned char* matte = m_matte.get() + range.begin;
    for (std::size_t i = 0; i < range.Size(); ++i, in += 4, out += 4) {
        const unsigned char keep = m_keptAlpha[matte[i]];
        const unsigned char alpha = in[3];
        std::uint32_t pixel;
        std::memcpy(&pixel, in, 4);
        // Most photos are opaque, and AlphaBlend(255, x) is x.
        const std::uint32_t newAlpha = alpha == 255 ? keep : m_tables->AlphaBlend(alpha, keep);
        pixel = (pixel & 0x00FFFFFFu) | (newAlpha << 24);
        std::memcpy(out, &pixel, 4);
    }
}

} // namespace orv::image
