// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "toolset/TitleWidget.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace mtra::ui {

namespace {

QPushButton* SmallButton(const char* objectName, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setFlat(true);
    button->setFixedSize(16, 16);
    return button;
}

} // namespace

TitleWidget::TitleWidget(const QString& title, bool collapsible, bool movable, bool switchable,
    bool expanded, bool enabled, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("TitleWidget"));
    setFixedHeight(25);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    if (collapsible) {
        m_collapseButton = SmallButton("CollapseButton", this);
        m_collapseButton->setCheckable(true);
        m_collapseButton->setChecked(expanded);
        connect(m_collapseButton, &QPushButton::toggled, this, &TitleWidget::SetStyle);
        connect(m_collapseButton, &QPushButton::toggled, this, &TitleWidget::CollapseWidgetBody);
        layout->addWidget(m_collapseButton);
        SetStyle(expanded);
    } else {
        SetStyle(true);
        layout->addSpacing(10);
    }

    m_label = new QLabel(title, this);
    m_label->setObjectName(QStringLiteral("TitleLabel"));
    QFont bold(QStringLiteral("Tahoma"), 8, QFont::Bold);
    bold.setStyleStrategy(QFont::PreferAntialias);
    m_label->setFont(bold);
    layout->addWidget(m_label);
    layout->addStretch();

    if (movable) {
        m_upButton = SmallButton("FilterUpButton", this);
        m_downButton = SmallButton("FilterDownButton", this);
        connect(m_upButton, &QPushButton::clicked, this, &TitleWidget::MoveUp);
        connect(m_downButton, &QPushButton::clicked, this, &TitleWidget::MoveDown);
        layout->addWidget(m_upButton);
        layout->addSpacing(3);
        layout->addWidget(m_downButton);
        layout->addSpacing(7);
    }

    if (switchable) {
        m_enableBox = new QCheckBox(this);
        m_enableBox->setChecked(enabled);
        connect(m_enableBox, &QCheckBox::stateChanged, this, &TitleWidget::EnableWidgetBody);
        layout->addWidget(m_enableBox);
    }
}

QString TitleWidget::Title() const
{
    return m_label->text();
}

bool TitleWidget::IsExpanded() const
{
    return m_collapseButton == nullptr || m_collapseButton->isChecked();
}

bool TitleWidget::IsSwitchedOn() const
{
    return m_enableBox == nullptr || m_enableBox->isChecked();
}

void TitleWidget::SetStyle(bool expanded)
{
    const QString tabs7(7, QLatin1Char('\t'));
    const QString tabs6(6, QLatin1Char('\t'));
    const QString picture
        = expanded ? QStringLiteral("FilterTitle.png") : QStringLiteral("FilterTitleCollapsed.png");
    setStyleSheet(QStringLiteral("#TitleWidget {") + tabs7
        + QStringLiteral("border-image: url(:Toolbox/%1) 1px 4px 1px 4px;").arg(picture) + tabs7
        + QStringLiteral("border-width: 0px 3px 0px 3px;") + tabs6 + QStringLiteral("}"));
}

void TitleWidget::Reset()
{
    if (m_collapseButton != nullptr) {
        m_collapseButton->setChecked(true);
    }
    SetStyle(true);
    if (m_enableBox != nullptr) {
        m_enableBox->setChecked(true);
    }
}

void TitleWidget::ShowExpanded(bool expanded)
{
    if (m_collapseButton != nullptr) {
        const QSignalBlocker block(m_collapseButton);
        m_collapseButton->setChecked(expanded);
    }
    SetStyle(expanded);
}

void TitleWidget::ShowSwitchedOn(bool on)
{
    if (m_enableBox != nullptr) {
        const QSignalBlocker block(m_enableBox);
        m_enableBox->setChecked(on);
    }
}

BodyWidget::BodyWidget(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("BodyWidget"));
}

void BodyWidget::SetBodyEnabled(int state)
{
    setEnabled(state == Qt::Checked);
}

} // namespace mtra::ui
