// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "import/ImportErrorDialog.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace mtra::ui {

ImportErrorDialog::ImportErrorDialog(const QString& text, const QStringList& paths, QWidget* parent)
    : QDialog(parent)
    , m_label(new QLabel(text, this))
    , m_list(new QListWidget(this))
{
    setModal(true);
    setWindowTitle(tr("Import Error"));
    QFile style(QStringLiteral(":/CSS/ImportErrorDialog.css"));
    if (style.open(QIODevice::ReadOnly)) {
        setStyleSheet(QString::fromUtf8(style.readAll()));
    }
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setTextFormat(Qt::PlainText);
    m_list->addItems(paths);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    auto* ok = new QPushButton(tr("OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* column = new QVBoxLayout(this);
    column->addWidget(m_label);
    column->addWidget(m_list);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(1);
    column->addLayout(buttons);
}

QString ImportErrorDialog::Text() const
{
    return m_label->text();
}

QStringList ImportErrorDialog::Paths() const
{
    QStringList paths;
    for (int row = 0; row < m_list->count(); ++row) {
        paths.append(m_list->item(row)->text());
    }
    return paths;
}

} // namespace mtra::ui
