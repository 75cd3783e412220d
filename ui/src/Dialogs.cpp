// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "Dialogs.h"

#include "ApplicationName.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QPrintDialog>
#include <QProgressDialog>
#include <QPushButton>

namespace mtra::ui {
namespace {

class WidgetProgress : public ProgressReporter
{
public:
    WidgetProgress(QWidget* parent, const QString& title, const QString& label,
        const QString& cancelText, int maximum)
        : m_dialog(label, cancelText, 0, maximum, parent)
    {
        m_dialog.setWindowTitle(title);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
        QFile style(QStringLiteral(":/CSS/ProgressDialog.css"));
        if (style.open(QIODevice::ReadOnly)) {
            m_dialog.setStyleSheet(QString::fromUtf8(style.readAll()));
        }
    }
    void SetValue(int value) override { m_dialog.setValue(value); }
    void SetLabelText(const QString& text) override { m_dialog.setLabelText(text); }
    bool WasCanceled() const override { return m_dialog.wasCanceled(); }

private:
    QProgressDialog m_dialog;
};

QMessageBox::Icon IconOf(DialogProvider::Kind kind)
{
    switch (kind) {
    case DialogProvider::Kind::Information:
        return QMessageBox::Information;
    case DialogProvider::Kind::Question:
        return QMessageBox::Question;
    case DialogProvider::Kind::Warning:
        return QMessageBox::Warning;
    case DialogProvider::Kind::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

class WidgetDialogs : public DialogProvider
{
public:
    QMessageBox::StandardButton Message(Kind kind, QWidget* parent, const QString& title,
        const QString& text, QMessageBox::StandardButtons buttons,
        QMessageBox::StandardButton defaultButton) override
    {
        QMessageBox box(IconOf(kind), title, text, buttons, parent);
        box.setDefaultButton(defaultButton);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    int Choose(Kind kind, QWidget* parent, const QString& title, const QString& text,
        const QStringList& buttons, int defaultIndex, int escapeIndex) override
    {
        QMessageBox box(IconOf(kind), title, text, QMessageBox::NoButton, parent);
        QList<QAbstractButton*> added;
        for (const QString& label : buttons) {
            added.append(box.addButton(label, QMessageBox::ActionRole));
        }
        if (defaultIndex >= 0 && defaultIndex < added.size()) {
            box.setDefaultButton(static_cast<QPushButton*>(added[defaultIndex]));
        }
        if (escapeIndex >= 0 && escapeIndex < added.size()) {
            box.setEscapeButton(added[escapeIndex]);
        }
        box.exec();
        const int index = static_cast<int>(added.indexOf(box.clickedButton()));
        return index < 0 ? escapeIndex : index;
    }

    QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
        const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }
    QStringList OpenFileNames(QWidget* parent, const QString& caption, const QString& folder,
        const QString& filter) override
    {
        return QFileDialog::getOpenFileNames(parent, caption, folder, filter);
    }
    QString ExistingFolder(QWidget* parent, const QString& caption, const QString& folder) override
    {
        return QFileDialog::getExistingDirectory(parent, caption, folder);
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& folder,
        const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, folder, filter);
    }

    std::unique_ptr<ProgressReporter> Progress(QWidget* parent, const QString& title,
        const QString& label, const QString& cancelText, int maximum) override
    {
        return std::make_unique<WidgetProgress>(parent, title, label, cancelText, maximum);
    }

    bool Print(QPrinter& printer, QWidget* parent, const QString& title) override
    {
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(title);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile);
        return dialog.exec() == QDialog::Accepted;
    }

    int Exec(QDialog& dialog) override { return dialog.exec(); }
};

DialogProvider* g_installed = nullptr;

} // namespace

DialogProvider& Dialogs()
{
    static WidgetDialogs widgets;
    return g_installed ? *g_installed : widgets;
}

void SetDialogProvider(DialogProvider* provider)
{
    g_installed = provider;
}

QMessageBox::StandardButton Warn(QWidget* parent, const QString& text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return Dialogs().Message(
        DialogProvider::Kind::Warning, parent, ApplicationName(), text, buttons, defaultButton);
}

QMessageBox::StandardButton Inform(QWidget* parent, const QString& text)
{
    return Dialogs().Message(
        DialogProvider::Kind::Information, parent, ApplicationName(), text, QMessageBox::Ok);
}

QMessageBox::StandardButton Critical(QWidget* parent, const QString& text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return Dialogs().Message(
        DialogProvider::Kind::Critical, parent, ApplicationName(), text, buttons, defaultButton);
}

QMessageBox::StandardButton Ask(QWidget* parent, const QString& text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    return Dialogs().Message(
        DialogProvider::Kind::Question, parent, ApplicationName(), text, buttons, defaultButton);
}

} // namespace mtra::ui
