// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "sections/OverlaySection.h"

#include "Application.h"
#include "controls/CompoundControls.h"
#include "controls/Controls.h"
#include "import/SingleImport.h"
#include "items/CurrentImage.h"
#include "sections/SectionFrame.h"
#include "toolset/ButtonDefault.h"
#include "toolset/TitleWidget.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace mtra::ui {

using orv::image::DownsampleFull;
using orv::image::DownsampleQuarter;

namespace {

// No press invalidation here: it would mark the project's current layer (the foreground or
// background) stale, while every edit of the overlay marks the overlay's own stage.
SpinSlider* PercentSlider(int defaultValue, int minimum, int maximum)
{
    auto* control = new SpinSlider(defaultValue, minimum, maximum);
    control->SetSuffix(QStringLiteral("%"));
    return control;
}

QGridLayout* AddGroup(const QString& title, QWidget* parent, QVBoxLayout* column)
{
    const Group group = NewGroup(title, parent);
    auto* grid = new QGridLayout(group.body);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSpacing(10);
    auto* box = new QVBoxLayout;
    box->setSpacing(0);
    box->addWidget(group.title);
    box->addWidget(group.body);
    column->addLayout(box);
    return grid;
}

QSize CanvasSize()
{
    const app::Canvas& canvas = Application::Instance()->GetProject()->GetCanvas();
    return { static_cast<int>(canvas.Width()), static_cast<int>(canvas.Height()) };
}

/// Sets a value and tells whether it changed.
bool Assign(double value, double current, void (app::TransformationTransformItem::*set)(double),
    app::TransformationTransformItem& item)
{
    (item.*set)(value);
    return value != current;
}

} // namespace

OverlaySection::OverlaySection(QWidget* parent)
    : ToolboxPage(app::SectionOverlay, tr("Overlay"), Empty {}, parent)
    , m_horizontal(PercentSlider(0, -100, 100))
    , m_vertical(PercentSlider(0, -100, 100))
    , m_scale(PercentSlider(100, 10, 500))
    , m_rotation(new DoubleSpinDial(nullptr, 0.0, 359.99, 0.0))
    , m_fitButton(new ButtonDefault(tr("Fit to canvas")))
{
    QFrame* frame = AddScrolledFrame(this);
    m_column = new QVBoxLayout(frame);
    m_column->setContentsMargins(10, 10, 10, 10);
    m_column->setSpacing(10);

    QGridLayout* position = AddGroup(tr("Position"), frame, m_column);
    position->addWidget(new ToolboxLabel(tr("Horizontal", "Horizontal position")), 0, 0);
    position->addWidget(m_horizontal, 0, 1);
    position->addWidget(new ToolboxLabel(tr("Vertical", "Vertical position")), 1, 0);
    position->addWidget(m_vertical, 1, 1);
    AddGroup(tr("Scale"), frame, m_column)->addWidget(m_scale, 0, 0);
    AddGroup(tr("Rotation"), frame, m_column)->addWidget(m_rotation, 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_fitButton->setCheckable(true);
    buttons->addWidget(m_fitButton);
    QPushButton* reset = NewResetButton(frame);
    buttons->addWidget(reset);
    m_column->addLayout(buttons);
    m_column->addStretch();

    connect(m_horizontal, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateHorizontalPosition(value, factor); });
    connect(m_vertical, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateVerticalPosition(value, factor); });
    connect(m_scale, &SpinSlider::SliderUpdate, this,
        [this](int value, Factor factor) { UpdateScale(value, factor); });
    connect(m_rotation, &DoubleSpinDial::DialUpdate, this,
        [this](double value, Factor factor) { UpdateRotation(value, factor); });
    connect(
        m_fitButton, &QPushButton::toggled, this, qOverload<bool>(&OverlaySection::FitToCanvas));
    connect(reset, &QPushButton::clicked, this, &OverlaySection::ResetOverlay);
    auto* overlay = new SingleImport(app::OverlayLayer, tr("Overlay"), frame);
    connect(overlay, &SingleImport::NewOverlayAdded, this, &OverlaySection::NewOverlayAdded);
    connect(
        this, &OverlaySection::ImportRefreshRequested, overlay, &SingleImport::UpdateFromProject);
    SetImportWidget(overlay);
    UpdateFromProject(true);
}

void OverlaySection::SetImportWidget(QWidget* widget)
{
    if (m_import != nullptr) {
        m_column->removeWidget(m_import);
        m_import->deleteLater();
    }
    m_import = widget;
    if (widget != nullptr) {
        m_column->insertWidget(0, widget);
    }
}

std::shared_ptr<app::TransformationTransformItem> OverlaySection::Transformation() const
{
    const app::TransformList* transforms = LayerTransforms(app::OverlayLayer);
    if (transforms == nullptr) {
        return nullptr;
    }
    std::shared_ptr<app::AbstractTransformItem> item;
    if (!m_transformId.isNull() && transforms->Get(m_transformId, item) == app::MT_OK) {
        return std::dynamic_pointer_cast<app::TransformationTransformItem>(item);
    }
    return FirstOf<app::TransformationTransformItem>(*transforms);
}

std::shared_ptr<app::FitTransformItem> OverlaySection::Fit() const
{
    const app::TransformList* transforms = LayerTransforms(app::OverlayLayer);
    if (transforms == nullptr) {
        return nullptr;
    }
    std::shared_ptr<app::AbstractTransformItem> item;
    if (!m_fitId.isNull() && transforms->Get(m_fitId, item) == app::MT_OK) {
        return std::dynamic_pointer_cast<app::FitTransformItem>(item);
    }
    return FirstOf<app::FitTransformItem>(*transforms);
}

void OverlaySection::ShowNeutral()
{
    m_horizontal->SetValue(0);
    m_vertical->SetValue(0);
    m_scale->SetValue(100);
    m_rotation->SetValue(0);
}

void OverlaySection::SetControlsEnabled(bool enabled)
{
    m_horizontal->setEnabled(enabled);
    m_vertical->setEnabled(enabled);
    m_scale->setEnabled(enabled);
    m_rotation->setEnabled(enabled);
}

void OverlaySection::SetFitChecked(bool checked)
{
    const QSignalBlocker block(m_fitButton);
    m_fitButton->setChecked(checked);
}

void OverlaySection::Edited(Factor factor, bool update)
{
    Application& app = *Application::Instance();
    if (factor == DownsampleQuarter) {
        app.ItemChanged(app::OverlayLayer, app::Stage::Transform, DownsampleQuarter);
    } else {
        app.ItemChanged(app::OverlayLayer, app::Stage::Transform);
    }
    if (update) {
        app.RefreshLayer(app::OverlayLayer, app::Stage::Transform, factor);
    }
}

void OverlaySection::RefreshOverlay()
{
    Application& app = *Application::Instance();
    app.InvalidateStage(app::OverlayLayer, app::Stage::Transform, DownsampleQuarter);
    app.RefreshLayer(app::OverlayLayer, app::Stage::Transform, DownsampleFull);
}

void OverlaySection::UpdateFromProject(bool updateOverlay)
{
    if (updateOverlay) {
        emit ImportRefreshRequested();
    }
    m_fitted = false;
    if (const auto fit = Fit()) {
        m_fitId = fit->Id();
        m_fitted = fit->Fit() == app::FitModeCanvas;
    }
    SetFitChecked(m_fitted);
    SetControlsEnabled(!m_fitted);
    if (const auto item = Transformation()) {
        m_transformId = item->Id();
        if (m_fitted) {
            ShowNeutral();
        } else {
            m_horizontal->SetValue(static_cast<int>(std::lround(item->TranslateX() * 100)));
            m_vertical->SetValue(static_cast<int>(std::lround(item->TranslateY() * 100)));
            m_scale->SetValue(static_cast<int>(std::lround(item->ScaleX() * 100)));
            m_rotation->SetValue(item->Rotation());
        }
    }
    if (updateOverlay) {
        FitToCanvas(m_fitted, false);
        RefreshOverlay();
    }
    emit PageUpdated();
}

void OverlaySection::UpdateHorizontalPosition(int value, Factor factor, bool update)
{
    if (auto item = Transformation()) {
        item->SetTranslateX(value / 100.0);
        Edited(factor, update);
    }
}

void OverlaySection::UpdateVerticalPosition(int value, Factor factor, bool update)
{
    if (auto item = Transformation()) {
        item->SetTranslateY(value / 100.0);
        Edited(factor, update);
    }
}

void OverlaySection::UpdateScale(int value, Factor factor, bool update)
{
    if (auto item = Transformation()) {
        item->SetScaleX(value / 100.0);
        item->SetScaleY(value / 100.0);
        Edited(factor, update);
    }
}

void OverlaySection::UpdateRotation(double value, Factor factor, bool update)
{
    if (auto item = Transformation()) {
        item->SetRotation(value);
        Edited(factor, update);
    }
}

bool OverlaySection::RefitOverlays(const QSize& canvasSize, const QSize& overlaySize)
{
    // Without an overlay there is nothing to fit: the stored scales wait for the next overlay
    // rather than being lost to a placeholder scale (and a project just opened stays
    // unmodified).
    if (canvasSize.width() <= 0 || canvasSize.height() <= 0 || overlaySize.width() <= 0
        || overlaySize.height() <= 0) {
        return false;
    }
    const double sx = double(canvasSize.width()) / overlaySize.width();
    const double sy = double(canvasSize.height()) / overlaySize.height();

    const app::ForegroundImageList& batch
        = Application::Instance()->GetProject()->GetForegroundImageList();
    std::vector<std::shared_ptr<app::OverlayImageSettings>> all { batch.DefaultOverlaySettings() };
    for (auto it = batch.Begin(); it != batch.End(); ++it) {
        if (it->second->IsUnique()) {
            all.push_back(it->second->OverlaySettings());
        }
    }
    bool changed = false;
    for (const auto& settings : all) {
        if (!settings) {
            continue;
        }
        const auto fit = FirstOf<app::FitTransformItem>(settings->Transforms());
        const auto item = FirstOf<app::TransformationTransformItem>(settings->Transforms());
        if (!fit || !item || fit->Fit() != app::FitModeCanvas) {
            continue;
        }
        using T = app::TransformationTransformItem;
        changed = Assign(0, item->TranslateX(), &T::SetTranslateX, *item) || changed;
        changed = Assign(0, item->TranslateY(), &T::SetTranslateY, *item) || changed;
        changed = Assign(sx, item->ScaleX(), &T::SetScaleX, *item) || changed;
        changed = Assign(sy, item->ScaleY(), &T::SetScaleY, *item) || changed;
        changed = Assign(0, item->Rotation(), &T::SetRotation, *item) || changed;
    }
    return changed;
}

void OverlaySection::FitToCanvas(bool fit, bool update)
{
    if (!fit) {
        ActualSize(update);
        return;
    }
    m_fitted = true;
    SetFitChecked(true);
    SetControlsEnabled(false);
    ShowNeutral();
    bool changed = false;
    if (auto fitItem = Fit(); fitItem && fitItem->Fit() != app::FitModeCanvas) {
        fitItem->SetFit(app::FitModeCanvas);
        changed = true;
    }
    // Every fitted settings object, not only the current image's: a unique image that is
    // fitted must export its overlay at the size of the overlay shown now.
    changed = RefitOverlays(CanvasSize(), Application::Instance()->OverlaySize()) || changed;
    if (changed) {
        Application::Instance()->ItemChanged(app::OverlayLayer, app::Stage::Transform);
    }
    if (update) {
        RefreshOverlay();
    }
}

void OverlaySection::ActualSize(bool update)
{
    SetFitChecked(false);
    m_fitted = false;
    SetControlsEnabled(true);
    if (!update) {
        return;
    }
    if (auto item = Transformation()) {
        item->SetTranslateX(0);
        item->SetTranslateY(0);
        item->SetScaleX(1);
        item->SetScaleY(1);
        item->SetRotation(0);
    }
    if (auto fitItem = Fit()) {
        fitItem->SetFit(app::FitModeNone);
    }
    ShowNeutral();
    Application::Instance()->ItemChanged(app::OverlayLayer, app::Stage::Transform);
    RefreshOverlay();
}

void OverlaySection::ResetOverlay()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    if (auto item = Transformation()) {
        item->SetTranslateX(0);
        item->SetTranslateY(0);
        item->SetScaleX(1);
        item->SetScaleY(1);
        item->SetRotation(0);
    }
    ShowNeutral();
    FitToCanvas(true, false);
    Application::Instance()->ItemChanged(app::OverlayLayer, app::Stage::Transform);
    RefreshOverlay();
    QGuiApplication::restoreOverrideCursor();
}

void OverlaySection::NewOverlayAdded()
{
    FitToCanvas(m_fitted, false);
    RefreshOverlay();
}

} // namespace mtra::ui
