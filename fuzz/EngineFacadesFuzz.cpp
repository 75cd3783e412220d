// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// Drives the keyer, processor and compositor facades with images of random sizes (0 … 64
// pixels a side, sometimes mismatched, null or in the other channel order), random parameters
// in and out of their ranges, and 1 … 16 workers. A crash, a sanitizer report, a code outside
// the engine's list or a queue that grows on a refused setter (or stays on an accepted one)
// ends the run.
//
// Built as a libFuzzer target (fuzz/CMakeLists.txt) and, with the normal compiler, into the
// replay test that runs the committed corpus and every recorded crash.

#include <ovcommon/OVLookupTables.h>
#include <ovimageengine/OVImageEngine.h>

#include "FuzzCheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace orv::image;

namespace {

// Reads the fuzzer's bytes as a stream of small decisions; an exhausted stream reads zeros.
class Input
{
public:
    Input(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    bool IsExhausted() const { return m_position >= m_size; }

    std::uint8_t Byte() { return m_position < m_size ? m_data[m_position++] : 0; }

    bool Bool() { return Byte() & 1; }

    // 0 … count − 1.
    unsigned Below(unsigned count) { return count ? Byte() % count : 0; }

    std::uint32_t Word()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = value << 8 | Byte();
        return value;
    }

    // A parameter whose documented range is [low, high]: mostly inside it, often on its
    // edges, sometimes just or far outside, NaN, infinite, or any bit pattern.
    double Real(double low, double high)
    {
        switch (Below(10)) {
        case 0:
            return low;
        case 1:
            return high;
        case 2:
            return low - 0.001 - Byte();
        case 3:
            return high + 0.001 + Byte();
        case 4:
            return std::numeric_limits<double>::quiet_NaN();
        case 5:
            return Bool() ? std::numeric_limits<double>::infinity()
                          : -std::numeric_limits<double>::infinity();
        case 6: {
            std::uint64_t bits = std::uint64_t(Word()) << 32 | Word();
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        default:
            return low + (high - low) * (Byte() / 255.0);
        }
    }

    // An int parameter: small values, their negatives, or any 32-bit value.
    int Integer()
    {
        switch (Below(4)) {
        case 0:
            return -static_cast<int>(Byte());
        case 1: {
            const std::uint32_t word = Word();
            int value;
            std::memcpy(&value, &word, sizeof value);
            return value;
        }
        default:
            return Byte();
        }
    }

    // An enumeration value: usually a named one, sometimes any int.
    template <typename Enum> Enum Enumeration(int named)
    {
        return static_cast<Enum>(Below(8) == 0 ? Integer() : static_cast<int>(Below(named)));
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

[[noreturn]] void Fail(const std::string& what)
{
    mtra::fuzz::Fail("EngineFacadesFuzz", what);
}

// Every code an engine operation may return.
void CheckCode(int code, const char* operation)
{
    switch (code) {
    case ResultSuccess:
    case ResultRuntimeError:
    case ResultLogicError:
    case ResultInvalidArgument:
    case ResultOutOfRange:
    case ResultOutOfMemory:
    case ResultUnsupported:
    case ResultImageMismatch:
    case ResultWorkerException:
        return;
    }
    Fail(std::string(operation) + " returned unlisted code " + std::to_string(code));
}

// A setter appends exactly one stage when it returns 0 and none otherwise.
template <typename Facade>
void CheckSetter(Facade& facade, unsigned short countBefore, int code, const char* setter)
{
    CheckCode(code, setter);
    const unsigned short expected = countBefore + (code == 0 ? 1 : 0);
    if (facade.RenderQueueCount() != expected)
        Fail(std::string(setter) + " returned " + std::to_string(code) + " but the queue holds "
            + std::to_string(facade.RenderQueueCount()) + " stages, not "
            + std::to_string(expected));
}

// The images of one run: a common size that most images share, so that setters get past their
// layout checks, and a few odd ones.
class ImagePool
{
public:
    explicit ImagePool(Input& input)
    {
        const unsigned width = input.Below(65);
        const unsigned height = input.Below(65);
        const unsigned count = 2 + input.Below(4);
        for (unsigned i = 0; i < count; ++i) {
            unsigned w = width;
            unsigned h = height;
            OVPixelChannelOrder order = PixelOrderBGRA;
            switch (input.Below(8)) {
            case 0:
                w = input.Below(65);
                h = input.Below(65);
                break;
            case 1:
                order = PixelOrderARGB;
                break;
            default:
                break;
            }
            std::shared_ptr<OVImage8> image;
            if (input.Bool()) {
                image = std::make_shared<OVImage8>(w, h, order, input.Bool());
            } else {
                // A borrowed buffer, exactly as large as the image.
                m_buffers.emplace_back(std::size_t(w) * h * 4);
                image = std::make_shared<OVImage8>(m_buffers.back().data(), w, h, order);
            }
            Fill(*image, input.Below(4), input.Word());
            m_images.push_back(image);
        }
    }

    // One of the images, or null now and then.
    std::shared_ptr<OVImage8> Pick(Input& input)
    {
        const unsigned choice = input.Below(static_cast<unsigned>(m_images.size()) + 1);
        return choice < m_images.size() ? m_images[choice] : nullptr;
    }

private:
    // Pixels from a seed rather than from the input, so that inputs stay short: random bytes,
    // random colours with alpha only 0 or 255 (hard mattes), all zero or all 255.
    static void Fill(OVImage8& image, unsigned pattern, std::uint32_t seed)
    {
        unsigned char* bytes = image.Buffer();
        for (std::size_t b = 0; b < image.BufferByteSize(); ++b) {
            seed = seed * 1664525u + 1013904223u;
            auto value = static_cast<unsigned char>(seed >> 24);
            if (pattern == 1 && b % 4 == 3)
                value = value & 1 ? 255 : 0;
            else if (pattern == 2)
                value = 0;
            else if (pattern == 3)
                value = 255;
            bytes[b] = value;
        }
    }

    std::vector<std::vector<unsigned char>> m_buffers;
    std::vector<std::shared_ptr<OVImage8>> m_images;
};

void RunKeyer(Input& input, ImagePool& images, orv::OVLookupTables& tables)
{
    const auto source = images.Pick(input);
    const auto destination = images.Pick(input);
    const auto factor = input.Enumeration<OVDownsampleFactor>(4);
    std::unique_ptr<OVImageKeyer> keyer = input.Bool()
        ? std::make_unique<OVImageKeyer>(source, destination, tables, factor)
        : std::make_unique<OVImageKeyer>(source.get(), destination.get(), tables, factor);
    const unsigned setters = input.Below(5);
    for (unsigned s = 0; s < setters; ++s) {
        const unsigned short before = keyer->RenderQueueCount();
        switch (input.Below(4)) {
        case 0: {
            const auto radius = static_cast<unsigned>(input.Integer());
            const auto type = input.Enumeration<OVYUVBlurType>(4);
            CheckSetter(*keyer, before, keyer->SetYUVBlur(radius, type), "SetYUVBlur");
            break;
        }
        case 1: {
            const auto channel = input.Enumeration<OVChannel>(3);
            const bool extended = input.Bool();
            const double transparency = input.Real(0, 1);
            CheckSetter(*keyer, before, keyer->SetSpillSuppression(channel, extended, transparency),
                "SetSpillSuppression");
            break;
        }
        case 2: {
            const double left = input.Real(0, 1);
            const double top = input.Real(0, 1);
            const double right = input.Real(0, 1);
            const double bottom = input.Real(0, 1);
            CheckSetter(
                *keyer, before, keyer->SetAlphaCrop(left, top, right, bottom), "SetAlphaCrop");
            break;
        }
        default: {
            const auto color = input.Enumeration<OVKeyColor>(3);
            const double keyDetail = input.Real(0, 1);
            const double greyDetail = input.Real(0, 1);
            const double greyThreshold = input.Real(0, 1);
            CheckSetter(*keyer, before,
                keyer->SetAutoColorDifferenceKey(color, keyDetail, greyDetail, greyThreshold),
                "SetAutoColorDifferenceKey");
            break;
        }
        }
    }
    CheckCode(keyer->Render(), "OVImageKeyer::Render");
    if (input.Bool())
        CheckCode(keyer->ClearRenderQueue(), "OVImageKeyer::ClearRenderQueue");
    CheckCode(keyer->Render(), "OVImageKeyer::Render");
}

void RunProcessor(Input& input, ImagePool& images, orv::OVLookupTables& tables)
{
    const auto source = images.Pick(input);
    const auto destination = images.Pick(input);
    const auto factor = input.Enumeration<OVDownsampleFactor>(4);
    std::unique_ptr<OVImageProcessor> processor = input.Bool()
        ? std::make_unique<OVImageProcessor>(source, destination, tables, factor)
        : std::make_unique<OVImageProcessor>(source.get(), destination.get(), tables, factor);
    const unsigned setters = input.Below(5);
    for (unsigned s = 0; s < setters; ++s) {
        const unsigned short before = processor->RenderQueueCount();
        int code = 0;
        const char* setter = "";
        switch (input.Below(10)) {
        case 0: {
            const double brightness = input.Real(-1, 1);
            const auto channels = input.Enumeration<OVChannelsToProcess>(6);
            code = processor->SetBrightness(brightness, channels);
            setter = "SetBrightness";
            break;
        }
        case 1: {
            const double red = input.Real(0, 2);
            const double green = input.Real(0, 2);
            const double blue = input.Real(0, 2);
            code = processor->SetColorBalance(red, green, blue);
            setter = "SetColorBalance";
            break;
        }
        case 2:
            code = processor->SetColorTemperature(input.Real(1500, 13500));
            setter = "SetColorTemperature";
            break;
        case 3: {
            const double black = input.Real(0, 1);
            const double white = input.Real(0, 1);
            const auto channels = input.Enumeration<OVChannelsToProcess>(6);
            code = processor->SetSuperContrast(black, white, channels);
            setter = "SetSuperContrast";
            break;
        }
        case 4: {
            const double hue = input.Real(0, 360);
            const double strength = input.Real(0, 1);
            code = processor->SetHueColorize(hue, strength);
            setter = "SetHueColorize";
            break;
        }
        case 5: {
            const bool horizontal = input.Bool();
            const bool vertical = input.Bool();
            code = processor->SetMirror(horizontal, vertical);
            setter = "SetMirror";
            break;
        }
        case 6:
            code = processor->SetOpacity(input.Real(0, 1));
            setter = "SetOpacity";
            break;
        case 7:
            code = processor->SetSaturation(input.Real(0, 2));
            setter = "SetSaturation";
            break;
        case 8: {
            const auto radius = static_cast<unsigned>(input.Integer());
            const auto type = input.Enumeration<OVYUVBlurType>(4);
            code = processor->SetYUVBlur(radius, type);
            setter = "SetYUVBlur";
            break;
        }
        default: {
            const auto radius = static_cast<unsigned>(input.Integer());
            const bool horizontal = input.Bool();
            const bool vertical = input.Bool();
            const auto channels = input.Enumeration<OVChannelsToProcess>(6);
            code = processor->SetStackBlur(radius, horizontal, vertical, channels);
            setter = "SetStackBlur";
            break;
        }
        }
        CheckSetter(*processor, before, code, setter);
    }
    CheckCode(processor->Render(), "OVImageProcessor::Render");
    if (input.Bool())
        CheckCode(processor->ClearRenderQueue(), "OVImageProcessor::ClearRenderQueue");
    CheckCode(processor->Render(), "OVImageProcessor::Render");
}

void RunCompositor(Input& input, ImagePool& images, orv::OVLookupTables& tables)
{
    const auto background = images.Pick(input);
    const double opacity = input.Real(0, 1);
    const auto factor = input.Enumeration<OVDownsampleFactor>(4);
    std::unique_ptr<OVImageCompositor> compositor = input.Bool()
        ? std::make_unique<OVImageCompositor>(background, opacity, tables, factor)
        : std::make_unique<OVImageCompositor>(background.get(), opacity, tables, factor);
    const unsigned layers = input.Below(5);
    for (unsigned l = 0; l < layers; ++l) {
        const unsigned short before = compositor->RenderQueueCount();
        const auto layer = images.Pick(input);
        const bool shared = input.Bool();
        switch (input.Below(2)) {
        case 0: {
            const double layerOpacity = input.Real(0, 1);
            const auto mode = input.Enumeration<OVBlendMode>(kBlendModeCount);
            const bool alphaCompositing = input.Bool();
            const int code = shared
                ? compositor->AddLayer(layer, layerOpacity, mode, alphaCompositing)
                : compositor->AddLayer(layer.get(), layerOpacity, mode, alphaCompositing);
            CheckSetter(*compositor, before, code, "AddLayer");
            break;
        }
        default: {
            const int radius = input.Integer();
            const double strength = input.Real(0, 1);
            const auto mode = input.Enumeration<OVBlendMode>(kBlendModeCount);
            const auto layerFactor = input.Enumeration<OVDownsampleFactor>(4);
            const int code = shared
                ? compositor->AddLightSpillLayer(layer, radius, strength, mode, layerFactor)
                : compositor->AddLightSpillLayer(layer.get(), radius, strength, mode, layerFactor);
            CheckSetter(*compositor, before, code, "AddLightSpillLayer");
            break;
        }
        }
    }
    CheckCode(compositor->Render(), "OVImageCompositor::Render");
    if (input.Bool())
        CheckCode(compositor->ClearRenderQueue(), "OVImageCompositor::ClearRenderQueue");
    CheckCode(compositor->Render(), "OVImageCompositor::Render");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input(data, size);
    // The engine reads its worker count from the environment at every render.
    setenv("OV_CPU_CORE_COUNT", std::to_string(1 + input.Below(16)).c_str(), 1);
    orv::OVLookupTables tables(input.Bool());
    ImagePool images(input);
    for (int run = 0; run < 4 && !input.IsExhausted(); ++run) {
        switch (input.Below(3)) {
        case 0:
            RunKeyer(input, images, tables);
            break;
        case 1:
            RunProcessor(input, images, tables);
            break;
        default:
            RunCompositor(input, images, tables);
            break;
        }
    }
    return 0;
}
