// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

// The main() of every GUI test program: the program's application object on the offscreen
// platform (unless the test runs under a real X server), settings and thumbnail cache in a
// temporary folder, two engine workers, and every dialog answered by the script.

#include "Application.h"
#include "UiTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace mtra::ui::test {
namespace {
ScriptedDialogs* g_script = nullptr;
}

ScriptedDialogs& Script()
{
    return *g_script;
}

} // namespace mtra::ui::test

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    if (!home.isValid()) {
        return 2;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("OV_CPU_CORE_COUNT")) {
        qputenv("OV_CPU_CORE_COUNT", "2");
    }
    mtra::ui::Application app(argc, argv);
    mtra::ui::test::ScriptedDialogs dialogs;
    mtra::ui::test::g_script = &dialogs;
    return RUN_ALL_TESTS();
}
