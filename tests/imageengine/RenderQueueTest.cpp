// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "RenderQueue.h"
#include "WorkSplit.h"
#include "WorkerThreads.h"

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>
#include <type_traits>

#include "EngineTestSupport.h"

using namespace orv::image;
using mtra::test::MakeFilledImage;
using mtra::test::ScopedCoreCount;

namespace {

// Adds `step` to every byte of its worker's range and records what it was given.
class AddStage : public AbstractRenderer
{
public:
    explicit AddStage(unsigned char step = 1)
        : m_step(step)
    {
    }
    bool NeedsWholeImage() const override { return false; }
    void Prepare(OVAbstractImage* source) override
    {
        ++prepares;
        preparedInput = source;
    }
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char index,
        unsigned char count) override
    {
        const WorkRange range
            = ThreadByteRange(std::size_t(source->Width()) * source->Height(), index, count);
        const unsigned char* in = static_cast<OVImage8*>(source)->Buffer();
        unsigned char* out = static_cast<OVImage8*>(destination)->Buffer();
        for (std::size_t i = range.begin; i < range.end; ++i)
            out[i] = static_cast<unsigned char>(in[i] + m_step);
        std::lock_guard<std::mutex> lock(mutex);
        outputs.insert(destination);
        seenCount = count;
    }

    int prepares = 0;
    OVAbstractImage* preparedInput = nullptr;
    std::set<OVAbstractImage*> outputs;
    unsigned seenCount = 0;
    std::mutex mutex;

private:
    unsigned char m_step;
};

template <typename Exception> [[noreturn]] void Raise()
{
    if constexpr (std::is_constructible_v<Exception, const char*>)
        throw Exception("test failure");
    else
        throw Exception();
}

// Throws from worker `failing` (or from Prepare) the exception given.
template <typename Exception> class ThrowingStage : public AbstractRenderer
{
public:
    ThrowingStage(int failing, bool inPrepare = false)
        : m_failing(failing)
        , m_inPrepare(inPrepare)
    {
    }
    bool NeedsWholeImage() const override { return false; }
    void Prepare(OVAbstractImage*) override
    {
        if (m_inPrepare)
            Raise<Exception>();
    }
    void Render(OVAbstractImage*, OVAbstractImage*, unsigned char index, unsigned char) override
    {
        if (int(index) == m_failing)
            Raise<Exception>();
    }

private:
    int m_failing;
    bool m_inPrepare;
};

struct Fixture : ::testing::Test {
    orv::OVLookupTables tables { true };
    std::shared_ptr<OVImage8> source = MakeFilledImage(5, 3, 10, 20, 30, 40);
    std::shared_ptr<OVImage8> destination = MakeFilledImage(5, 3, 0, 0, 0, 0);
    RendererQueue queue { source.get(), destination.get(), tables, DownsampleFull };

    template <typename Stage, typename... Args> std::shared_ptr<Stage> Add(Args&&... args)
    {
        auto stage = std::make_shared<Stage>(std::forward<Args>(args)...);
        EXPECT_EQ(queue.Append([&] { return stage; }), 0);
        return stage;
    }
};

using RenderQueueTest = Fixture;

TEST_F(RenderQueueTest, OneStageWritesStraightIntoTheDestination)
{
    const ScopedCoreCount cores(3);
    auto stage = Add<AddStage>();
    EXPECT_EQ(queue.Render(), 0);
    EXPECT_EQ(stage->preparedInput, source.get());
    EXPECT_EQ(stage->outputs, std::set<OVAbstractImage*> { destination.get() });
    EXPECT_EQ(destination->Buffer()[0], 11);
}

TEST_F(RenderQueueTest, StagesChainThroughIntermediatesInQueueOrder)
{
    const ScopedCoreCount cores(2);
    auto first = Add<AddStage>(1);
    auto second = Add<AddStage>(2);
    auto third = Add<AddStage>(3);
    EXPECT_EQ(queue.Count(), 3);
    EXPECT_EQ(queue.Render(), 0);
    EXPECT_EQ(destination->Buffer()[0], 16);
    EXPECT_EQ(destination->Buffer()[3], 46);
    EXPECT_EQ(first->preparedInput, source.get());
    EXPECT_NE(second->preparedInput, source.get());
    EXPECT_NE(second->preparedInput, destination.get());
    EXPECT_EQ(second->outputs.count(third->preparedInput), 1u);
    EXPECT_EQ(third->outputs, std::set<OVAbstractImage*> { destination.get() });

    // A second render runs every stage again, Prepare included, from the source.
    EXPECT_EQ(queue.Render(), 0);
    EXPECT_EQ(first->prepares, 2);
    EXPECT_EQ(destination->Buffer()[0], 16);
}

TEST_F(RenderQueueTest, ClearedQueueLeavesTheDestinationUntouched)
{
    Add<AddStage>();
    EXPECT_EQ(queue.Clear(), 0);
    EXPECT_EQ(queue.Render(), 0);
    EXPECT_EQ(destination->Buffer()[0], 0);
}

TEST_F(RenderQueueTest, WorkerCountComesFromTheCoreCountClampedTo255)
{
    auto stage = Add<AddStage>();
    {
        const ScopedCoreCount cores(1000);
        EXPECT_EQ(queue.Render(), 0);
        EXPECT_EQ(stage->seenCount, 255u);
    }
    {
        const ScopedCoreCount cores(7);
        EXPECT_EQ(queue.Render(), 0);
        EXPECT_EQ(stage->seenCount, 7u);
    }
}

TEST_F(RenderQueueTest, WorkerFailuresAreReturnedAfterTheRemainingStagesRan)
{
    const ScopedCoreCount cores(4);
    Add<ThrowingStage<std::out_of_range>>(1);
    auto after = Add<AddStage>(5);
    EXPECT_EQ(queue.Render(), 7);
    EXPECT_EQ(after->prepares, 1);
    EXPECT_EQ(destination->Buffer()[0], 5); // the failed stage's output was zero-filled
}

TEST_F(RenderQueueTest, LastWorkerFailureWinsAndUnlistedTypesGive1001)
{
    const ScopedCoreCount cores(2);
    Add<ThrowingStage<std::out_of_range>>(0);
    Add<ThrowingStage<std::length_error>>(1);
    EXPECT_EQ(queue.Render(), 1001);
}

TEST_F(RenderQueueTest, PrepareFailureStopsTheRender)
{
    Add<ThrowingStage<std::bad_alloc>>(-1, true);
    auto after = Add<AddStage>();
    EXPECT_EQ(queue.Render(), 8);
    EXPECT_EQ(after->prepares, 0);
}

TEST_F(RenderQueueTest, MismatchedDestinationRendersNothing)
{
    auto small = MakeFilledImage(3, 5, 0, 0, 0, 0);
    RendererQueue mismatched(source.get(), small.get(), tables, DownsampleFull);
    auto stage = std::make_shared<AddStage>();
    ASSERT_EQ(mismatched.Append([&] { return stage; }), 0);
    EXPECT_EQ(mismatched.Render(), 1000);
    EXPECT_EQ(stage->prepares, 0);
    EXPECT_EQ(small->Buffer()[0], 0);
}

TEST_F(RenderQueueTest, SetterExceptionsBecomeCodes)
{
    EXPECT_EQ(
        queue.Append([]() -> std::shared_ptr<AbstractRenderer> { throw std::bad_alloc(); }), 8);
    EXPECT_EQ(
        queue.Append([]() -> std::shared_ptr<AbstractRenderer> { throw std::overflow_error("x"); }),
        2);
    EXPECT_EQ(queue.Count(), 0);
}

std::atomic<int> g_creates { 0 };

int FailSecondCreate(
    pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument)
{
    if (g_creates.fetch_add(1) == 1)
        return EAGAIN;
    return pthread_create(thread, attributes, start, argument);
}

TEST_F(RenderQueueTest, ThreadStartFailureJoinsStartedWorkersAndReturns2)
{
    const ScopedCoreCount cores(4);
    auto stage = Add<AddStage>();
    g_creates = 0;
    const auto previous = SetThreadCreateFunctionForTesting(FailSecondCreate);
    const int result = queue.Render();
    SetThreadCreateFunctionForTesting(previous);
    EXPECT_EQ(result, 2);
    // Worker 0 ran and was joined before Render returned; nobody else ran.
    EXPECT_EQ(destination->Buffer()[0], 11);
    EXPECT_EQ(destination->Buffer()[destination->BufferByteSize() - 1], 0);
}

TEST(RunWorkerThreadsTest, ThrowsTheDocumentedMessage)
{
    g_creates = 0;
    const auto previous = SetThreadCreateFunctionForTesting(FailSecondCreate);
    std::atomic<int> ran { 0 };
    try {
        RunWorkerThreads(3, [&](unsigned) { return ++ran, 0; });
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cannot create thread");
    }
    SetThreadCreateFunctionForTesting(previous);
    EXPECT_EQ(ran.load(), 1);
}

TEST(FacadeQueueTest, FailedSetterAppendsNothing)
{
    orv::OVLookupTables tables(true);
    auto source = MakeFilledImage(2, 2, 0, 255, 0, 255);
    auto destination = MakeFilledImage(2, 2, 1, 1, 1, 1);
    OVImageKeyer keyer(source, destination, tables, DownsampleFull);
    EXPECT_EQ(keyer.SourceImage(), source.get());
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorGreen, 0.5, 0, 0), 0);
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorGreen, 1.5, 0, 0), 7);
    EXPECT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorBlue, 0.5, 0, 0), 0);
    EXPECT_EQ(keyer.RenderQueueCount(), 2);
    EXPECT_EQ(keyer.ClearRenderQueue(), 0);
    EXPECT_EQ(keyer.Render(), 0);
    EXPECT_EQ(destination->Buffer()[0], 1);

    OVImageProcessor processor(source.get(), destination.get(), tables, DownsampleQuarter);
    EXPECT_EQ(processor.SourceImage(), source.get());
    EXPECT_EQ(processor.RenderQueueCount(), 0);
    EXPECT_EQ(processor.Render(), 0);

    OVImageCompositor compositor(destination, 1.0, tables, DownsampleFull);
    EXPECT_EQ(compositor.BackgroundLayer(), destination.get());
    EXPECT_EQ(compositor.RenderQueueCount(), 0);
    EXPECT_EQ(compositor.Render(), 0);
}

TEST(FacadeQueueTest, KeyerWithMismatchedDestinationReturns1000)
{
    orv::OVLookupTables tables(true);
    auto source = MakeFilledImage(4, 3, 0, 255, 0, 255);
    auto destination = MakeFilledImage(3, 4, 1, 1, 1, 1);
    OVImageKeyer keyer(source, destination, tables, DownsampleFull);
    ASSERT_EQ(keyer.SetAutoColorDifferenceKey(KeyColorGreen, 0.5, 0, 0), 0);
    EXPECT_EQ(keyer.Render(), 1000);
    EXPECT_EQ(destination->Buffer()[0], 1);
}

} // namespace
