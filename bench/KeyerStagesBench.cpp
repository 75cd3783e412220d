// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include "BenchSupport.h"

#include <functional>

using namespace orv::image;
using namespace mtra::bench;

namespace {

// Keyer stages appended by `add` over the 24 MP photo per iteration; the argument is the
// worker count.
void RunKeyer(benchmark::State& state, const std::function<int(OVImageKeyer&)>& add)
{
    RunFacadeOnPhoto<OVImageKeyer>(state, add);
}

#define MTRA_KEYER_BENCH(name, call)                                                               \
    void BM_##name(benchmark::State& state)                                                        \
    {                                                                                              \
        RunKeyer(state, [](OVImageKeyer& k) { return k.call; });                                   \
    }                                                                                              \
    BENCHMARK(BM_##name)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()

MTRA_KEYER_BENCH(SpillSuppression, SetSpillSuppression(ChannelGreen, true, 1.0));
MTRA_KEYER_BENCH(SpillSuppressionPlain, SetSpillSuppression(ChannelGreen, false, 1.0));
MTRA_KEYER_BENCH(AlphaCrop, SetAlphaCrop(0.05, 0.05, 0.05, 0.05));
MTRA_KEYER_BENCH(YUVBlurBoxRows10, SetYUVBlur(10, YUVBlurBoxRows));
MTRA_KEYER_BENCH(YUVBlurBoxColumns10, SetYUVBlur(10, YUVBlurBoxColumns));
MTRA_KEYER_BENCH(YUVBlurBox10, SetYUVBlur(10, YUVBlurBoxRowsColumns));
MTRA_KEYER_BENCH(YUVBlurStack10, SetYUVBlur(10, YUVBlurStack));

// The default key list of a foreground: YUV blur, automatic key, crop, spill suppression.
void BM_DefaultKeyList(benchmark::State& state)
{
    RunKeyer(state, [](OVImageKeyer& k) {
        return k.SetYUVBlur(10, YUVBlurStack)
            + k.SetAutoColorDifferenceKey(KeyColorAuto, 1, 0, 0.33) + k.SetAlphaCrop(0, 0, 0, 0)
            + k.SetSpillSuppression(ChannelGreen, true, 1);
    });
}
BENCHMARK(BM_DefaultKeyList)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
