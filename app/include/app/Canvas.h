// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AbstractProjectItem.h>

namespace mtra::app {

class Project;

/// How the user chose the canvas size; stored in project files.
enum CanvasDimensionType : int {
    DimensionPrintSize = 0, ///< a print size from the program's list at the chosen dpi
    DimensionAsBackground = 1, ///< the size of the background image
    DimensionAsForeground = 2, ///< the size of the current foreground image
};

/// Orientation of a print size; stored in project files.
enum CanvasOrientation : int {
    OrientationLandscape = 0,
    OrientationPortrait = 1,
};

/// The output picture every foreground image is composed into: its size in pixels, how that
/// size was chosen, its print resolution, and where it is shown in the program's view.
///
/// Only the project creates a canvas (it owns it by value); copies are public. Element "canvas"
/// under the project element; the centre is run-time state and is not stored. Setters store
/// values unchanged. GUI thread only.
class APP_EXPORT Canvas final : public AbstractProjectItem
{
public:
    Canvas(const Canvas& other) = default;
    Canvas& operator=(const Canvas& other) = default;
    ~Canvas() override;

    CanvasDimensionType DimensionType() const { return m_dimensionType; }
    unsigned int Width() const { return m_width; }
    unsigned int Height() const { return m_height; }
    int PositionX() const { return m_positionX; }
    int PositionY() const { return m_positionY; }
    float Scale() const { return m_scale; }
    int CentreX() const { return m_centreX; }
    int CentreY() const { return m_centreY; }
    CanvasOrientation Orientation() const { return m_orientation; }
    int DPI() const { return m_dpi; }

    void SetDimensionType(CanvasDimensionType type) { m_dimensionType = type; }
    void SetDimensions(unsigned int width, unsigned int height)
    {
        m_width = width;
        m_height = height;
    }
    void SetPosition(int x, int y)
    {
        m_positionX = x;
        m_positionY = y;
    }
    void SetScale(float scale) { m_scale = scale; }
    void SetCentre(int x, int y)
    {
        m_centreX = x;
        m_centreY = y;
    }
    void SetOrientation(CanvasOrientation orientation) { m_orientation = orientation; }
    void SetDPI(int dpi) { m_dpi = dpi; }

private:
    friend class ModelAccess;
    friend class Project;

    /// Size 0 × 0, print-size type, position 0, 0, scale 1, portrait, 1 dpi.
    Canvas() = default;
    /// Print-size type and centre 0, 0.
    Canvas(unsigned int width, unsigned int height, int positionX, int positionY, float scale,
        CanvasOrientation orientation, unsigned int dpi);

    /// Reads the "canvas" child of the project element (required: without it the first value
    /// is reported missing, 4). Dimension type 0 … 2 and orientation 0 … 1, else 4.
    MTerr LoadFromXml(const QDomElement& project) override;
    MTerr WriteToXml(QXmlStreamWriter& writer) const override;

    CanvasDimensionType m_dimensionType = DimensionPrintSize;
    unsigned int m_width = 0;
    unsigned int m_height = 0;
    int m_positionX = 0;
    int m_positionY = 0;
    float m_scale = 1.0f;
    int m_centreX = 0;
    int m_centreY = 0;
    CanvasOrientation m_orientation = OrientationPortrait;
    int m_dpi = 1;
};

/// Whether a canvas of `width` × `height` pixels can be made: 1 to 25,000,000 pixels, the
/// largest canvas the program's canvas size section creates. Both sides at most 2^32.
APP_EXPORT bool IsSupportedCanvasSize(quint64 width, quint64 height);

} // namespace mtra::app
