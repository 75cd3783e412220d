// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "export/ExportCodecWidget.h"

#include "Application.h"
#include "controls/CompoundControls.h"
#include "controls/Controls.h"
#include "sections/SectionFrame.h"
#include "toolset/TitleWidget.h"

#include <app/Project.h>

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace mtra::ui {

namespace {

constexpr int kMaxAffixLength = 20;

const app::ExportSettings& CurrentSettings()
{
    return Application::Instance()->GetProject()->GetExportSettings();
}

QLineEdit* NewAffixEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setFixedHeight(25);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    edit->setMaxLength(kMaxAffixLength);
    edit->setValidator(new AffixValidator(edit));
    return edit;
}

} // namespace

// --- AffixValidator ------------------------------------------------------------------------

AffixValidator::AffixValidator(QObject* parent)
    : QValidator(parent)
{
}

QValidator::State AffixValidator::validate(QString& input, int& /*position*/) const
{
    return app::IsValidExportAffix(input) ? Acceptable : Invalid;
}

// --- ExportCodecWidget ---------------------------------------------------------------------

ExportCodecWidget::ExportCodecWidget(QWidget* parent)
    : QWidget(parent)
    , m_title(new TitleWidget(tr("Options"), true, false, false, true, true, this))
    , m_body(new BodyWidget(this))
    , m_format(new ComboBox(m_body))
    , m_quality(new SpinSlider(100, 0, 100, m_body))
    , m_prefix(NewAffixEdit(m_body))
    , m_postfix(NewAffixEdit(m_body))
    , m_preview(new QLineEdit(m_body))
{
    StackTitleOverBody(this, m_title, m_body);

    auto* grid = new QGridLayout(m_body);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSpacing(10);
    m_format->addItems({ QStringLiteral("JPEG"), QStringLiteral("PNG"), QStringLiteral("TIFF") });
    grid->addWidget(new ToolboxLabel(tr("Format"), m_body), 0, 0);
    grid->addWidget(m_format, 0, 1, 1, 2);
    grid->addWidget(new ToolboxLabel(tr("Quality"), m_body), 1, 0);
    grid->addWidget(m_quality, 1, 1, 1, 2);
    grid->addWidget(new ToolboxLabel(tr("Prefix"), m_body), 3, 0);
    grid->addWidget(m_prefix, 3, 1, 1, 2);
    grid->addWidget(new ToolboxLabel(tr("Postfix"), m_body), 4, 0);
    grid->addWidget(m_postfix, 4, 1, 1, 2);
    m_preview->setFixedHeight(25);
    m_preview->setEnabled(false);
    m_preview->setReadOnly(true);
    m_preview->setContextMenuPolicy(Qt::NoContextMenu);
    grid->addWidget(m_preview, 5, 0, 1, 3);

    UpdateFromProject();
    connect(m_title, &TitleWidget::CollapseWidgetBody, this, &ExportCodecWidget::SetCollapsed);
    connect(m_format, qOverload<int>(&QComboBox::currentIndexChanged), this,
        &ExportCodecWidget::UpdateFormat);
    connect(m_quality, &SpinSlider::SliderUpdate, this, &ExportCodecWidget::UpdateQuality);
    connect(m_prefix, &QLineEdit::textChanged, this, &ExportCodecWidget::PrefixTextChanged);
    connect(m_postfix, &QLineEdit::textChanged, this, &ExportCodecWidget::PostfixTextChanged);
}

int ExportCodecWidget::IndexOfFormat(app::ExportFormat format)
{
    switch (format) {
    case app::FormatJPEG:
        return IndexJPEG;
    case app::FormatTIFF:
        return IndexTIFF;
    default:
        return IndexPNG;
    }
}

template <typename Change> void ExportCodecWidget::Store(Change change)
{
    app::ExportSettings settings = CurrentSettings();
    change(settings);
    Application::Instance()->Document().SetExportSettings(settings);
}

void ExportCodecWidget::UpdateFormat(int index)
{
    app::ExportFormat format = app::FormatPNG;
    if (index == IndexJPEG) {
        format = app::FormatJPEG;
    } else if (index == IndexTIFF) {
        format = app::FormatTIFF;
    } else if (index != IndexPNG) {
        return;
    }
    // The stored quality stays as it is for the lossless formats, ready for a return to JPEG.
    m_quality->setEnabled(index == IndexJPEG);
    Store([format](app::ExportSettings& settings) { settings.SetFormat(format); });
}

void ExportCodecWidget::UpdateQuality(int quality)
{
    Store([quality](app::ExportSettings& settings) { settings.SetQuality(quality); });
}

void ExportCodecWidget::PrefixTextChanged(const QString& text)
{
    Store([&text](app::ExportSettings& settings) { settings.SetPrefix(text.toStdWString()); });
    UpdatePreview();
}

void ExportCodecWidget::PostfixTextChanged(const QString& text)
{
    Store([&text](app::ExportSettings& settings) { settings.SetSuffix(text.toStdWString()); });
    UpdatePreview();
}

void ExportCodecWidget::SetCollapsed(bool expanded)
{
    m_body->setVisible(expanded);
    Store([expanded](app::ExportSettings& settings) { settings.SetCodecCollapsed(!expanded); });
}

void ExportCodecWidget::UpdateFromProject()
{
    const app::ExportSettings& settings = CurrentSettings();
    const int index = IndexOfFormat(settings.Format());
    {
        const QSignalBlocker format(m_format);
        const QSignalBlocker prefix(m_prefix);
        const QSignalBlocker postfix(m_postfix);
        m_format->setCurrentIndex(index);
        m_quality->SetValue(settings.Quality());
        // A stored affix the editors would refuse (a hand-made file) is shown as it is; the
        // export refuses unsafe names on its own.
        m_prefix->setText(QString::fromStdWString(settings.Prefix()));
        m_postfix->setText(QString::fromStdWString(settings.Suffix()));
    }
    m_quality->setEnabled(index == IndexJPEG);
    const bool expanded = !settings.IsCodecCollapsed();
    m_body->setVisible(expanded);
    m_title->ShowExpanded(expanded);
    UpdatePreview();
}

void ExportCodecWidget::UpdatePreview()
{
    m_preview->setText(
        QStringLiteral("%1%2%3").arg(m_prefix->text(), tr("<filename>"), m_postfix->text()));
}

} // namespace mtra::ui
