// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "Progress.h"

#include <app/ExportFormats.h>

#include <QElapsedTimer>
#include <QFileInfo>

namespace mtra::cli {

namespace {

class StreamObserver : public app::BatchObserver
{
public:
    StreamObserver(std::FILE* stream, bool terminal, bool quiet)
        : m_stream(stream)
        , m_terminal(terminal && !quiet)
        , m_quiet(quiet)
    {
    }

    void Started(int total) override
    {
        m_total = total;
        m_timer.start();
    }

    void FileStarted(int index, const app::BatchItem& item) override
    {
        m_current = app::EscapedForMessage(QFileInfo(item.source).fileName());
        if (m_terminal)
            DrawBar(index, m_current);
    }

    void FileDone(int index, const app::BatchItem& item, app::BatchOutcome outcome,
        const QString& detail) override
    {
        const QString count = QStringLiteral("[%1/%2]").arg(index + 1).arg(m_total);
        QString line;
        switch (outcome) {
        case app::BatchOutcome::Failed:
            line = QStringLiteral("%1 failed: %2: %3")
                       .arg(count, app::EscapedForMessage(item.source),
                           app::EscapedForMessage(detail));
            break;
        case app::BatchOutcome::Skipped:
            if (!m_quiet)
                line = QStringLiteral("%1 skipped %2: %3")
                           .arg(count, app::EscapedForMessage(item.target),
                               app::EscapedForMessage(detail));
            break;
        case app::BatchOutcome::Written:
            if (!m_quiet && !m_terminal)
                line
                    = QStringLiteral("%1 wrote %2").arg(count, app::EscapedForMessage(item.target));
            break;
        case app::BatchOutcome::WouldWrite:
            if (!m_quiet)
                line = QStringLiteral("%1 would write %2")
                           .arg(count, app::EscapedForMessage(item.target));
            break;
        }
        if (!line.isEmpty()) {
            ClearBar();
            Print(line + QLatin1Char('\n'));
        }
        // A file is written while the next one renders: the bar keeps showing that one.
        if (m_terminal)
            DrawBar(index + 1, index + 1 < m_total ? m_current : QString());
    }

    void Finished(int written, int skipped, int failed) override
    {
        ClearBar();
        if (m_quiet)
            return;
        Print(QStringLiteral("%1 written, %2 skipped, %3 failed in %4\n")
                  .arg(written)
                  .arg(skipped)
                  .arg(failed)
                  .arg(FormatDuration(m_timer.elapsed())));
    }

private:
    void Print(const QString& text)
    {
        std::fputs(text.toLocal8Bit().constData(), m_stream);
        std::fflush(m_stream);
    }

    void DrawBar(int done, const QString& current)
    {
        constexpr int kWidth = 24;
        const int filled = m_total > 0 ? done * kWidth / m_total : kWidth;
        const qint64 elapsed = m_timer.elapsed();
        const QString remaining
            = done > 0 ? FormatDuration(elapsed * (m_total - done) / done) : QStringLiteral("?");
        QString name = current;
        if (name.size() > 32)
            name = name.left(29) + QStringLiteral("...");
        Print(
            QStringLiteral("\r[%1%2] %3/%4 %5 elapsed, %6 left  %7\x1b[K")
                .arg(QString(filled, QLatin1Char('#')), QString(kWidth - filled, QLatin1Char('.')))
                .arg(done)
                .arg(m_total)
                .arg(FormatDuration(elapsed), remaining, name));
        m_barShown = true;
    }

    void ClearBar()
    {
        if (m_barShown)
            Print(QStringLiteral("\r\x1b[K"));
        m_barShown = false;
    }

    std::FILE* m_stream;
    bool m_terminal;
    bool m_quiet;
    bool m_barShown = false;
    int m_total = 0;
    QString m_current;
    QElapsedTimer m_timer;
};

} // namespace

std::unique_ptr<app::BatchObserver> MakeObserver(std::FILE* stream, bool terminal, bool quiet)
{
    return std::make_unique<StreamObserver>(stream, terminal, quiet);
}

QString FormatDuration(qint64 milliseconds)
{
    const qint64 seconds = (milliseconds + 500) / 1000;
    if (seconds >= 3600) {
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace mtra::cli
