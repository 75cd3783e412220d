// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "UiTestSupport.h"

#include <QDesktopServices>
#include <QDialog>
#include <QPrinter>

namespace mtra::ui::test {
namespace {

class ScriptedProgress : public ProgressReporter
{
public:
    explicit ScriptedProgress(int cancelAfter)
        : m_cancelAfter(cancelAfter)
    {
    }
    void SetValue(int) override { ++m_steps; }
    void SetLabelText(const QString&) override { }
    bool WasCanceled() const override { return m_cancelAfter >= 0 && m_steps >= m_cancelAfter; }

private:
    int m_cancelAfter;
    int m_steps = 0;
};

} // namespace

ScriptedDialogs::ScriptedDialogs()
{
    SetDialogProvider(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    SetDialogProvider(nullptr);
}

template <typename T> bool ScriptedDialogs::Next(T& value)
{
    if (m_answers.empty()) {
        return false;
    }
    if (const T* answer = std::get_if<T>(&m_answers.front())) {
        value = *answer;
        m_answers.pop_front();
        return true;
    }
    return false;
}

QStringList ScriptedDialogs::Texts() const
{
    QStringList texts;
    for (const Shown& shown : m_history) {
        if (shown.what == QLatin1String("message") || shown.what == QLatin1String("choice")) {
            texts.append(shown.text);
        }
    }
    return texts;
}

void ScriptedDialogs::Clear()
{
    m_answers.clear();
    m_history.clear();
    m_cancelAfter = -1;
}

QMessageBox::StandardButton ScriptedDialogs::Message(Kind kind, QWidget*, const QString& title,
    const QString& text, QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton)
{
    m_history.push_back({ QStringLiteral("message"), title, text, kind, {} });
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    if (Next(answer)) {
        return answer;
    }
    if (defaultButton != QMessageBox::NoButton) {
        return defaultButton;
    }
    for (int bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (buttons.testFlag(static_cast<QMessageBox::StandardButton>(bit))) {
            return static_cast<QMessageBox::StandardButton>(bit);
        }
    }
    return QMessageBox::NoButton;
}

int ScriptedDialogs::Choose(Kind kind, QWidget*, const QString& title, const QString& text,
    const QStringList& buttons, int defaultIndex, int)
{
    m_history.push_back({ QStringLiteral("choice"), title, text, kind, buttons });
    int answer = 0;
    return Next(answer) ? answer : defaultIndex;
}

QString ScriptedDialogs::OpenFileName(
    QWidget*, const QString& caption, const QString&, const QString&)
{
    m_history.push_back({ QStringLiteral("open"), caption, caption, Kind::Information, {} });
    QString answer;
    Next(answer);
    return answer;
}

QStringList ScriptedDialogs::OpenFileNames(
    QWidget*, const QString& caption, const QString&, const QString&)
{
    m_history.push_back({ QStringLiteral("open-many"), caption, caption, Kind::Information, {} });
    QStringList answer;
    Next(answer);
    return answer;
}

QString ScriptedDialogs::ExistingFolder(QWidget*, const QString& caption, const QString&)
{
    m_history.push_back({ QStringLiteral("folder"), caption, caption, Kind::Information, {} });
    QString answer;
    Next(answer);
    return answer;
}

QString ScriptedDialogs::SaveFileName(
    QWidget*, const QString& caption, const QString&, const QString&)
{
    m_history.push_back({ QStringLiteral("save"), caption, caption, Kind::Information, {} });
    QString answer;
    Next(answer);
    return answer;
}

std::unique_ptr<ProgressReporter> ScriptedDialogs::Progress(
    QWidget*, const QString& title, const QString& label, const QString&, int)
{
    m_history.push_back({ QStringLiteral("progress"), title, label, Kind::Information, {} });
    return std::make_unique<ScriptedProgress>(m_cancelAfter);
}

bool ScriptedDialogs::Print(QPrinter& printer, QWidget*, const QString& title)
{
    // The text says how the printer was set up, for tests of the page orientation.
    const bool portrait = printer.pageLayout().orientation() == QPageLayout::Portrait;
    m_history.push_back({ QStringLiteral("print"), title,
        portrait ? QStringLiteral("portrait") : QStringLiteral("landscape"), Kind::Information,
        {} });
    bool answer = true;
    Next(answer);
    return answer;
}

int ScriptedDialogs::Exec(QDialog& dialog)
{
    m_history.push_back({ QStringLiteral("dialog"), dialog.windowTitle(), dialog.windowTitle(),
        Kind::Information, {} });
    int answer = QDialog::Rejected;
    Next(answer);
    return answer;
}

UrlRecorder::UrlRecorder()
{
    for (const char* scheme : { "file", "http", "https" }) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
    }
}

UrlRecorder::~UrlRecorder()
{
    for (const char* scheme : { "file", "http", "https" }) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
}

} // namespace mtra::ui::test
