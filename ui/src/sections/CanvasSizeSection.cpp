// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "sections/CanvasSizeSection.h"

#include "Application.h"
#include "Dialogs.h"
#include "controls/Controls.h"
#include "sections/SectionFrame.h"
#include "toolset/ButtonDefault.h"
#include "toolset/TitleWidget.h"

#include <app/Canvas.h>
#include <app/LayerImages.h>
#include <app/PhotoReader.h>
#include <app/Project.h>

#include <QFile>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QXmlStreamReader>

#include <cmath>

namespace mtra::ui {

namespace {

constexpr int kAsForeground = 0;
constexpr int kAsBackground = 1;
constexpr int kFirstPrintSize = 2;

app::Project& CurrentProject()
{
    return *Application::Instance()->GetProject();
}

float ReadFloat(QXmlStreamReader& xml)
{
    bool ok = false;
    const float value = xml.readElementText().trimmed().toFloat(&ok);
    return ok ? value : -1.0f;
}

/// One "size" element: its "width" and "height", each -1 when missing or unreadable.
std::pair<float, float> ReadSize(QXmlStreamReader& xml)
{
    std::pair<float, float> size { -1.0f, -1.0f };
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("width")) {
            size.first = ReadFloat(xml);
        } else if (xml.name() == QLatin1String("height")) {
            size.second = ReadFloat(xml);
        } else {
            xml.skipCurrentElement();
        }
    }
    return size;
}

/// A print size's pixels at `dpi`: truncated, as a printer lab counts whole dots.
qint64 Dots(double inches, double dpi)
{
    return static_cast<qint64>(std::trunc(inches * dpi));
}

/// A title that collapses its body, and the body.
BodyWidget* AddGroup(const QString& title, QVBoxLayout* layout, QWidget* parent)
{
    auto* titleWidget = new TitleWidget(title, true, false, false, true, true, parent);
    auto* body = new BodyWidget(parent);
    QObject::connect(titleWidget, &TitleWidget::CollapseWidgetBody, body, &QWidget::setVisible);
    layout->addWidget(titleWidget);
    layout->addWidget(body);
    return body;
}

} // namespace

// --- CanvasOptions -------------------------------------------------------------------------

bool CanvasOptions::Read(QIODevice& device)
{
    QXmlStreamReader xml(&device);
    if (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("canvas_options")) {
            xml.raiseError(QStringLiteral("Not a canvas_options file"));
        } else {
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("canvas_sizes")) {
                    while (xml.readNextStartElement()) {
                        if (xml.name() == QLatin1String("size")) {
                            sizes.push_back(ReadSize(xml));
                        } else {
                            xml.skipCurrentElement();
                        }
                    }
                } else if (xml.name() == QLatin1String("resolution_sizes")) {
                    while (xml.readNextStartElement()) {
                        if (xml.name() == QLatin1String("resolution")) {
                            bool ok = false;
                            const int dpi = xml.readElementText().trimmed().toInt(&ok);
                            if (ok) {
                                resolutions.push_back(dpi);
                            }
                        } else {
                            xml.skipCurrentElement();
                        }
                    }
                } else {
                    xml.skipCurrentElement();
                }
            }
        }
    }
    if (xml.hasError()) {
        error = xml.errorString();
    } else if (auto* file = qobject_cast<QFileDevice*>(&device);
               file && file->error() != QFileDevice::NoError) {
        error = file->errorString();
    }
    return error.isEmpty();
}

CanvasOptions CanvasOptions::Shipped()
{
    CanvasOptions options;
    QFile file(QStringLiteral(":Temp/canvas.xml"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        options.error = file.errorString();
        return options;
    }
    options.Read(file);
    return options;
}

// --- CanvasSizeWidget ----------------------------------------------------------------------

CanvasSizeWidget::CanvasSizeWidget(QWidget* parent)
    : QWidget(parent)
    , m_options(CanvasOptions::Shipped())
    , m_sizeBox(new ComboBox)
    , m_portrait(new ButtonDefault(tr("Portrait")))
    , m_landscape(new ButtonDefault(tr("Landscape")))
    , m_resolutionBox(new ComboBox)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    BodyWidget* sizeBody = AddGroup(tr("Canvas Size"), layout, this);
    auto* sizeLayout = new QVBoxLayout(sizeBody);
    sizeLayout->setContentsMargins(10, 10, 10, 10);
    m_sizeBox->addItem(tr("As foreground"));
    m_sizeBox->addItem(tr("As background"));
    for (const auto& [width, height] : m_options.sizes) {
        m_sizeBox->addItem(QStringLiteral("%1 x %2 %3")
                               .arg(static_cast<double>(width))
                               .arg(static_cast<double>(height))
                               .arg(tr("inch")));
    }
    m_sizeBox->setMaxVisibleItems(kFirstPrintSize + static_cast<int>(m_options.sizes.size()));
    sizeLayout->addWidget(m_sizeBox);

    BodyWidget* orientationBody = AddGroup(tr("Orientation"), layout, this);
    auto* orientationLayout = new QHBoxLayout(orientationBody);
    orientationLayout->setContentsMargins(10, 10, 10, 10);
    orientationLayout->setSpacing(10);
    for (QPushButton* button : { m_portrait, m_landscape }) {
        button->setCheckable(true);
        button->setAutoExclusive(true);
        orientationLayout->addWidget(button);
    }
    m_portrait->setChecked(true);

    BodyWidget* resolutionBody = AddGroup(tr("Resolution"), layout, this);
    auto* resolutionLayout = new QVBoxLayout(resolutionBody);
    resolutionLayout->setContentsMargins(10, 10, 10, 10);
    for (int dpi : m_options.resolutions) {
        m_resolutionBox->addItem(QStringLiteral("%1 %2").arg(dpi).arg(tr("dpi")));
    }
    resolutionLayout->addWidget(m_resolutionBox);

    UpdateFromProject();
    connect(m_sizeBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
        &CanvasSizeWidget::UpdateSize);
    connect(m_portrait, &QPushButton::clicked, this, &CanvasSizeWidget::UpdateOrientation);
    connect(m_landscape, &QPushButton::clicked, this, &CanvasSizeWidget::UpdateOrientation);
    connect(m_resolutionBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
        &CanvasSizeWidget::UpdateResolution);
    connect(this, &CanvasSizeWidget::FocusCanvasRequested, Application::Instance(),
        qOverload<>(&Application::FocusCanvasRequested));
}

bool CanvasSizeWidget::ApplySize(qint64 width, qint64 height)
{
    // Checked on 64-bit values before anything narrows them: a product of two large sides
    // must not wrap round into an accepted size.
    if (width <= 0 || height <= 0
        || !app::IsSupportedCanvasSize(static_cast<quint64>(width), static_cast<quint64>(height))) {
        Warn(this,
            tr("The options you have chosen have produced a canvas size which is unsupported."));
        return false;
    }
    return Application::Instance()->ResizeCanvas(static_cast<int>(width), static_cast<int>(height));
}

void CanvasSizeWidget::SetPrintControlsEnabled(bool enabled)
{
    m_portrait->setEnabled(enabled);
    m_landscape->setEnabled(enabled);
    m_resolutionBox->setEnabled(enabled);
}

void CanvasSizeWidget::UpdateSize(int index)
{
    if (index < 0) {
        return;
    }
    app::Project& project = CurrentProject();
    app::Canvas& canvas = project.GetCanvas();
    bool accepted = true;
    if (index == kAsForeground || index == kAsBackground) {
        QString path;
        if (index == kAsForeground) {
            path = project.CurrentForegroundPath();
        } else if (const auto background = project.GetBackgroundImage()) {
            path = background->Path();
        }
        if (path.isEmpty()) {
            accepted = ApplySize(200, 200);
        } else {
            // The upright size from the header: a portrait photo stored on its side gives a
            // portrait canvas, and no pixels are decoded just to learn the size.
            QSize size;
            if (app::PhotoSize(path, size) == app::MT_OK) {
                accepted = ApplySize(size.width(), size.height());
            }
        }
        if (accepted) {
            canvas.SetDimensionType(
                index == kAsForeground ? app::DimensionAsForeground : app::DimensionAsBackground);
            SetPrintControlsEnabled(false);
        }
    } else {
        const std::size_t entry = static_cast<std::size_t>(index - kFirstPrintSize);
        const int resolutionIndex = m_resolutionBox->currentIndex();
        if (entry >= m_options.sizes.size() || resolutionIndex < 0) {
            accepted = false;
        } else {
            const auto [inchesWide, inchesHigh] = m_options.sizes[entry];
            const double dpi = m_options.resolutions[static_cast<std::size_t>(resolutionIndex)];
            accepted = ApplySize(Dots(inchesWide, dpi), Dots(inchesHigh, dpi));
            if (accepted) {
                const QSignalBlocker portrait(m_portrait);
                const QSignalBlocker landscape(m_landscape);
                (inchesWide <= inchesHigh ? m_portrait : m_landscape)->setChecked(true);
                canvas.SetDimensionType(app::DimensionPrintSize);
                SetPrintControlsEnabled(true);
            }
        }
    }
    if (!accepted) {
        const QSignalBlocker blocker(m_sizeBox);
        m_sizeBox->setCurrentIndex(m_sizeIndex);
        return;
    }
    m_sizeIndex = index;
    Application::Instance()->MarkProjectModified();
    emit FocusCanvasRequested();
}

void CanvasSizeWidget::UpdateOrientation()
{
    app::Canvas& canvas = CurrentProject().GetCanvas();
    const qint64 width = canvas.Width();
    const qint64 height = canvas.Height();
    const qint64 larger = std::max(width, height);
    const qint64 smaller = std::min(width, height);
    const bool portrait = m_portrait->isChecked();
    canvas.SetOrientation(portrait ? app::OrientationPortrait : app::OrientationLandscape);
    Application::Instance()->MarkProjectModified();
    if (!(portrait ? ApplySize(smaller, larger) : ApplySize(larger, smaller))) {
        return;
    }
    emit FocusCanvasRequested();
}

void CanvasSizeWidget::UpdateResolution(int index)
{
    if (index < 0 || index >= static_cast<int>(m_options.resolutions.size())) {
        return;
    }
    app::Canvas& canvas = CurrentProject().GetCanvas();
    const int newDpi = m_options.resolutions[static_cast<std::size_t>(index)];
    const int oldDpi = canvas.DPI();
    double inchesWide = canvas.Width();
    double inchesHigh = canvas.Height();
    if (oldDpi > 0) {
        inchesWide /= oldDpi;
        inchesHigh /= oldDpi;
    }
    if (!ApplySize(Dots(inchesWide, newDpi), Dots(inchesHigh, newDpi))) {
        const QSignalBlocker blocker(m_resolutionBox);
        m_resolutionBox->setCurrentIndex(m_resolutionIndex);
        return;
    }
    m_resolutionIndex = index;
    canvas.SetDPI(newDpi);
    Application::Instance()->MarkProjectModified();
    emit FocusCanvasRequested();
}

void CanvasSizeWidget::UpdateFromProject()
{
    const app::Canvas& canvas = CurrentProject().GetCanvas();
    const QSignalBlocker sizeBlocker(m_sizeBox);
    const QSignalBlocker resolutionBlocker(m_resolutionBox);

    int resolution = -1;
    for (std::size_t i = 0; i < m_options.resolutions.size(); ++i) {
        if (m_options.resolutions[i] == canvas.DPI()) {
            resolution = static_cast<int>(i);
            break;
        }
    }
    m_resolutionBox->setCurrentIndex(resolution);
    m_resolutionIndex = resolution;

    // A print size is recognised only when the pixels are exactly the entry at the stored
    // resolution (as stored, so a landscape 6 x 4 matches no entry): anything else shows no
    // entry rather than a wrong one.
    int size = -1;
    switch (canvas.DimensionType()) {
    case app::DimensionAsBackground:
        size = kAsBackground;
        break;
    case app::DimensionAsForeground:
        size = kAsForeground;
        break;
    default:
        if (canvas.DPI() > 0) {
            const double wide = static_cast<double>(canvas.Width()) / canvas.DPI();
            const double high = static_cast<double>(canvas.Height()) / canvas.DPI();
            for (std::size_t i = 0; i < m_options.sizes.size(); ++i) {
                if (static_cast<double>(m_options.sizes[i].first) == wide
                    && static_cast<double>(m_options.sizes[i].second) == high) {
                    size = kFirstPrintSize + static_cast<int>(i);
                    break;
                }
            }
        }
        break;
    }
    m_sizeBox->setCurrentIndex(size);
    m_sizeIndex = size;

    (canvas.Orientation() == app::OrientationPortrait ? m_portrait : m_landscape)->setChecked(true);
    SetPrintControlsEnabled(canvas.DimensionType() == app::DimensionPrintSize);
}

// --- CanvasSizeSection ---------------------------------------------------------------------

CanvasSizeSection::CanvasSizeSection(QWidget* parent)
    : ToolboxPage(app::SectionCanvasSize, tr("Canvas Size"), Empty {}, parent)
    , m_widget(new CanvasSizeWidget)
{
    QFrame* frame = AddScrolledFrame(this);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(m_widget);
    layout->addStretch();
    connect(m_widget, &CanvasSizeWidget::FocusCanvasRequested, this,
        &CanvasSizeSection::FocusCanvasRequested);
}

void CanvasSizeSection::UpdateFromProject()
{
    m_widget->UpdateFromProject();
    emit PageUpdated();
}

} // namespace mtra::ui
