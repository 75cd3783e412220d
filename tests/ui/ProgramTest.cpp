// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The built program answers --help and --version without any window system.

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

QString RunWithoutDisplay(const QString& option, int& status)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MTRA_PROGRAM_EXE), { option });
    EXPECT_TRUE(program.waitForFinished(20000));
    status = program.exitCode();
    return QString::fromLocal8Bit(program.readAllStandardOutput());
}

TEST(ProgramTest, HelpAndVersionNeedNoDisplay)
{
    int status = -1;
    const QString help = RunWithoutDisplay(QStringLiteral("--help"), status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(help.contains(QStringLiteral("Usage: mattorabatch [PROJECT.mtrabatch]")));
    const QString version = RunWithoutDisplay(QStringLiteral("--version"), status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(version.trimmed(), QStringLiteral("mattorabatch 1.0.0020"));
}

} // namespace
