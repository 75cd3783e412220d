// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include "AbstractRenderer.h"
#include "LargeBuffer.h"

#include <ovimageengine/OVEnums.h>

#include <memory>
#include <vector>

namespace orv::image {

/// Chroma blur: converts the image to Y, U, V, blurs only the two chroma bytes and converts
/// back, so that compression noise in the colour does not fray a key while edges in the
/// brightness stay sharp.
///
/// `Prepare` converts its input into a YUV buffer (bytes V, U, Y, A per pixel) and blurs V and
/// U: a box blur along rows (type 0), columns (1) or both (2), or a stack blur along rows and
/// columns (3); any other type blurs nothing. It runs a row pass (each row converted, then
/// blurred along) and a column pass, each on W worker threads of its own. `Render` workers convert
/// their `ThreadByteRange` of the buffer back into the destination. `Bits8` sources only, read as
/// B, G, R, A. Threads: `Prepare` on the calling thread; `Render` reads the stage only.
class YUVBlurRenderer : public AbstractRenderer
{
public:
    /// radius: in pixels of the image (already scaled by the preview factor); negative blurs
    /// nothing. A box radius of a line's length or more averages the whole line, which is the
    /// result it gives; a stack radius is limited to `stackblur::kMaxRadius`.
    YUVBlurRenderer(int radius, OVYUVBlurType type);
    ~YUVBlurRenderer() override;

    bool NeedsWholeImage() const override { return true; }
    void Prepare(OVAbstractImage* source) override;
    void Render(OVAbstractImage* source, OVAbstractImage* destination, unsigned char threadIndex,
        unsigned char threadCount) override;

    int Radius() const { return m_radius; }
    OVYUVBlurType Type() const { return m_type; }
    /// After `Prepare`: the blurred buffer, four bytes V, U, Y, A per pixel.
    const unsigned char* YUVBuffer() const { return m_yuv.get(); }

    /// The conversions of one pixel: bytes B, G, R to V, U, Y and back (clamped).
    static void ToYUV(int b, int g, int r, int* v, int* u, int* y);
    static void FromYUV(int v, int u, int y, int* b, int* g, int* r);

private:
    void ConvertRow(const unsigned char* source, std::size_t y);
    void StackRow(std::size_t y);
    void RowPass(const unsigned char* source, unsigned index, unsigned count);
    void BoxColumns(unsigned index, unsigned count);
    void StackColumns(unsigned index, unsigned count);

    int m_radius;
    OVYUVBlurType m_type;

    // Built by Prepare for its input.
    std::size_t m_width = 0;
    std::size_t m_height = 0;
    LargeBuffer<unsigned char> m_yuv;
    // Type 3: the row-blurred chroma (V, U per pixel), its edge index arrays and division table.
    int m_stackRadius = 0;
    LargeBuffer<unsigned char> m_chromaRows;
    std::vector<int> m_rowEdge;
    std::vector<int> m_columnEdge;
    std::unique_ptr<unsigned char[]> m_divisionTable;
};

} // namespace orv::image
