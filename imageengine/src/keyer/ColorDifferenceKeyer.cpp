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
#include <vector>

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

void MatteWorker(const MatteThreadData& data)
{
    const std::size_t pixels = PixelCount(data.source);
    const WorkRange range = ThreadPixelRange(pixels, data.threadIndex, data.threadCount);
    const int greyLimit = static_cast<int>(data.greyDetail * 255);
    const double greyLevel = data.greyThreshold * greyLimit;
    const unsigned char* in = Bytes(data.source) + range.begin * 4;
    unsigned char* matte = data.matte + range.begin;

    std::int64_t count = 0;
    std::int64_t sum = 0;
    int minimum = 255;
    int maximum = 0;
    for (std::size_t i = 0; i < range.Size(); ++i, in += 4) {
        const int d = Difference(in[0], in[1], in[2], data.keyColor);
        if (d > 0) {
            ++count;
            sum += d;
            minimum = std::min(minimum, d);
            maximum = std::max(maximum, d);
        }
        matte[i] = static_cast<unsigned char>(ColorDifferenceKeyer::MatteValue(
            in[0], in[1], in[2], data.keyColor, greyLimit, greyLevel, data.greyThreshold));
    }
    data.matteInfo->count = count;
    data.matteInfo->sum = sum;
    data.matteInfo->minimum = minimum;
    data.matteInfo->maximum = maximum;
}

} // namespace

ColorDifferenceKeyer::ColorDifferenceKeyer(OVKeyColor keyColor, double keyDetail,
    double greyDetail, double greyThreshold, const OVLookupTables& tables)
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
        AutoDetectKeyColor(static_cast<OVImage8*>(source), static_cast<int>(workers),
            &m_resolvedKeyColor);

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
        m_keyness[m] = static_cast<unsigned char>(std::clamp(a, 0, 255));
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
        const unsigned char a = m_keyness[matte[i]];
        out[0] = in[0];
        out[1] = in[1];
        out[2] = in[2];
        out[3] = m_tables->AlphaBlend(in[3], static_cast<unsigned char>(255 - a));
    }
}

} // namespace orv::image
