// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "PngWriter.h"

#include <ovimageengine/OVImageSupport.h>

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace mtra::app {

namespace {

constexpr int kBytesPerPixel = 4;
constexpr std::size_t kWindow = 32768;
constexpr int kMaxChunk = 1 << 20;
// Level 5 without the filtered strategy: on camera-size composites it makes files a little
// smaller than level 6 with it (the image writer's setting) in less than half the time.
constexpr int kLevel = 5;

// One row of the picture as PNG stores it: red, green, blue, alpha.
void ToRgba(const QImage& image, int y, unsigned char* out)
{
    const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = in[x];
        out[0] = static_cast<unsigned char>(qRed(pixel));
        out[1] = static_cast<unsigned char>(qGreen(pixel));
        out[2] = static_cast<unsigned char>(qBlue(pixel));
        out[3] = static_cast<unsigned char>(qAlpha(pixel));
        out += kBytesPerPixel;
    }
}

unsigned Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return static_cast<unsigned>(a);
    return static_cast<unsigned>(pb <= pc ? b : c);
}

// A filtered byte's weight: its distance from 0 read as a signed byte.
inline unsigned Weight(unsigned char v)
{
    return v < 128 ? v : 256u - v;
}

// Filters `row` (against `previous`, zeros above the first row) into `out`: the filter byte,
// then the row, with the filter whose bytes weigh least.
void FilterRow(
    const unsigned char* row, const unsigned char* previous, std::size_t length, unsigned char* out)
{
    std::uint64_t sums[5] = { 0, 0, 0, 0, 0 };
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned a = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
        const unsigned b = previous[i];
        const unsigned c = i >= kBytesPerPixel ? previous[i - kBytesPerPixel] : 0;
        const unsigned x = row[i];
        sums[0] += Weight(static_cast<unsigned char>(x));
        sums[1] += Weight(static_cast<unsigned char>(x - a));
        sums[2] += Weight(static_cast<unsigned char>(x - b));
        sums[3] += Weight(static_cast<unsigned char>(x - ((a + b) >> 1)));
        sums[4] += Weight(static_cast<unsigned char>(
            x - Paeth(static_cast<int>(a), static_cast<int>(b), static_cast<int>(c))));
    }
    const int filter = static_cast<int>(std::min_element(sums, sums + 5) - sums);
    out[0] = static_cast<unsigned char>(filter);
    unsigned char* o = out + 1;
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned a = i >= kBytesPerPixel ? row[i - kBytesPerPixel] : 0;
        const unsigned b = previous[i];
        const unsigned c = i >= kBytesPerPixel ? previous[i - kBytesPerPixel] : 0;
        const unsigned x = row[i];
        unsigned predicted = 0;
        switch (filter) {
        case 1:
            predicted = a;
            break;
        case 2:
            predicted = b;
            break;
        case 3:
            predicted = (a + b) >> 1;
            break;
        case 4:
            predicted = Paeth(static_cast<int>(a), static_cast<int>(b), static_cast<int>(c));
            break;
        default:
            break;
        }
        o[i] = static_cast<unsigned char>(x - predicted);
    }
}

// Filters rows [first, last) into one buffer (filter byte and row each).
std::vector<unsigned char> FilteredRows(const QImage& image, int first, int last)
{
    const std::size_t length = std::size_t(image.width()) * kBytesPerPixel;
    std::vector<unsigned char> previous(length, 0);
    std::vector<unsigned char> current(length);
    if (first > 0)
        ToRgba(image, first - 1, previous.data());
    std::vector<unsigned char> out(std::size_t(last - first) * (length + 1));
    for (int y = first; y < last; ++y) {
        ToRgba(image, y, current.data());
        FilterRow(current.data(), previous.data(), length,
            out.data() + std::size_t(y - first) * (length + 1));
        std::swap(previous, current);
    }
    return out;
}

struct Band {
    std::vector<unsigned char> deflated;
    uLong adler = 1;
    std::size_t rawLength = 0;
    bool ok = false;
};

// Deflates band `index`: a raw deflate stream primed with the end of the band before, ending
// with a sync flush, or finished when it is the last.
void DeflateBand(const QImage& image, int index, int bands, Band& band)
{
    const int first = index * kPngBandRows;
    const int last = std::min(image.height(), first + kPngBandRows);
    const std::size_t rowBytes = std::size_t(image.width()) * kBytesPerPixel + 1;
    const std::vector<unsigned char> raw = FilteredRows(image, first, last);
    band.rawLength = raw.size();
    band.adler = adler32(1, raw.data(), static_cast<uInt>(raw.size()));

    z_stream stream {};
    if (deflateInit2(&stream, kLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    struct End {
        z_stream* s;
        ~End() { deflateEnd(s); }
    } end { &stream };
    if (index > 0) {
        // The rows before, filtered again here, as the window the decoder will hold.
        const int before = static_cast<int>((kWindow + rowBytes - 1) / rowBytes);
        const std::vector<unsigned char> previous
            = FilteredRows(image, std::max(0, first - before), first);
        const std::size_t take = std::min(kWindow, previous.size());
        if (deflateSetDictionary(
                &stream, previous.data() + previous.size() - take, static_cast<uInt>(take))
            != Z_OK)
            return;
    }
    band.deflated.resize(deflateBound(&stream, static_cast<uLong>(raw.size())) + 64);
    stream.next_in = const_cast<unsigned char*>(raw.data());
    stream.avail_in = static_cast<uInt>(raw.size());
    const bool lastBand = index == bands - 1;
    std::size_t written = 0;
    for (;;) {
        stream.next_out = band.deflated.data() + written;
        stream.avail_out = static_cast<uInt>(band.deflated.size() - written);
        const int result = deflate(&stream, lastBand ? Z_FINISH : Z_SYNC_FLUSH);
        written = band.deflated.size() - stream.avail_out;
        if (result != Z_OK && result != Z_STREAM_END)
            return;
        // A flush is complete only with output room left over; else zlib holds more back.
        const bool done
            = lastBand ? result == Z_STREAM_END : stream.avail_in == 0 && stream.avail_out != 0;
        if (done)
            break;
        band.deflated.resize(band.deflated.size() + band.deflated.size() / 2 + 4096);
    }
    band.deflated.resize(written);
    band.ok = true;
}

// `value` as PNG stores numbers: four bytes, the most significant first.
void Big32(unsigned char* at, std::uint32_t value)
{
    at[0] = static_cast<unsigned char>(value >> 24);
    at[1] = static_cast<unsigned char>(value >> 16);
    at[2] = static_cast<unsigned char>(value >> 8);
    at[3] = static_cast<unsigned char>(value);
}

void PutBig32(QByteArray& bytes, std::uint32_t value)
{
    unsigned char b[4];
    Big32(b, value);
    bytes.append(reinterpret_cast<const char*>(b), 4);
}

void PutChunk(QByteArray& bytes, const char* type, const unsigned char* data, std::size_t length)
{
    PutBig32(bytes, static_cast<std::uint32_t>(length));
    const qsizetype start = bytes.size();
    bytes.append(type, 4);
    if (length > 0)
        bytes.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
    const uLong crc = crc32(0, reinterpret_cast<const unsigned char*>(bytes.constData() + start),
        static_cast<uInt>(length + 4));
    PutBig32(bytes, static_cast<std::uint32_t>(crc));
}

} // namespace

bool EncodePng(const QImage& image, QByteArray& bytes)
{
    bytes.clear();
    if (image.format() != QImage::Format_ARGB32 || image.width() <= 0 || image.height() <= 0)
        return false;
    const int bands = (image.height() + kPngBandRows - 1) / kPngBandRows;
    std::vector<Band> results(static_cast<std::size_t>(bands));

    // The bands are dealt to the workers as they come free; an exception on a worker is
    // carried to this thread.
    std::atomic<int> next { 0 };
    std::atomic<bool> outOfMemory { false };
    const auto work = [&] {
        for (int index = next++; index < bands; index = next++) {
            try {
                DeflateBand(image, index, bands, results[static_cast<std::size_t>(index)]);
            } catch (const std::bad_alloc&) {
                outOfMemory = true;
            }
        }
    };
    const unsigned workers
        = std::min<unsigned>(orv::image::RenderWorkerCount(), static_cast<unsigned>(bands));
    std::vector<std::thread> threads;
    for (unsigned i = 1; i < workers; ++i) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break; // fewer workers, the same bytes
        }
    }
    work();
    for (std::thread& thread : threads)
        thread.join();
    if (outOfMemory)
        throw std::bad_alloc();
    std::size_t deflatedSize = 0;
    for (const Band& band : results) {
        if (!band.ok)
            return false;
        deflatedSize += band.deflated.size();
    }

    // The zlib stream: header (deflate, 32 KiB window, a fast level), the bands, and the
    // Adler-32 of all the filtered rows.
    std::vector<unsigned char> stream;
    stream.reserve(deflatedSize + 6);
    stream.push_back(0x78);
    stream.push_back(0x5e);
    uLong adler = 1;
    for (const Band& band : results) {
        stream.insert(stream.end(), band.deflated.begin(), band.deflated.end());
        adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.rawLength));
    }
    unsigned char checksum[4];
    Big32(checksum, static_cast<std::uint32_t>(adler));
    stream.insert(stream.end(), checksum, checksum + 4);
    results.clear();

    bytes.reserve(static_cast<qsizetype>(stream.size() + stream.size() / kMaxChunk * 12 + 128));
    bytes.append("\x89PNG\r\n\x1a\n", 8);
    unsigned char header[13] = {};
    Big32(header, static_cast<std::uint32_t>(image.width()));
    Big32(header + 4, static_cast<std::uint32_t>(image.height()));
    header[8] = 8; // bits per channel
    header[9] = 6; // red, green, blue, alpha
    PutChunk(bytes, "IHDR", header, sizeof header);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        unsigned char physical[9] = {};
        Big32(physical, static_cast<std::uint32_t>(image.dotsPerMeterX()));
        Big32(physical + 4, static_cast<std::uint32_t>(image.dotsPerMeterY()));
        physical[8] = 1; // per metre
        PutChunk(bytes, "pHYs", physical, sizeof physical);
    }
    for (std::size_t at = 0; at < stream.size(); at += kMaxChunk)
        PutChunk(bytes, "IDAT", stream.data() + at,
            std::min<std::size_t>(kMaxChunk, stream.size() - at));
    PutChunk(bytes, "IEND", nullptr, 0);
    return true;
}

} // namespace mtra::app
