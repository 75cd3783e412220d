// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;

namespace mtra::ui {

/// The modal "Import Error" window: a sentence over the list of files it is about, and "OK".
/// Run through `Dialogs().Exec`; owned by whoever runs it. GUI thread only.
class ImportErrorDialog : public QDialog
{
    Q_OBJECT
public:
    ImportErrorDialog(const QString& text, const QStringList& paths, QWidget* parent = nullptr);

    QString Text() const;
    QStringList Paths() const;

private:
    QLabel* m_label;
    QListWidget* m_list;
};

} // namespace mtra::ui
