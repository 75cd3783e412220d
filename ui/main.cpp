// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers

#include "Application.h"
#include "ApplicationName.h"
#include "Startup.h"

#include <app/ProcessHeap.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // --help and --version answer before any window system is needed.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: mattorabatch [PROJECT.mtrabatch]\n\n"
                        "Chroma-keys photographs in batches: import green- or blue-screen shots,\n"
                        "key the screen out, place each subject over a background and export\n"
                        "every composite. Opens PROJECT when given, else a new project.\n\n"
                        "  -h, --help     show this help and exit\n"
                        "  --version      show the version and exit\n\n"
                        "Exit status: 0 normally, 39 when the program ran out of memory.\n"
                        "Batches render without the window with mattora-render.\n");
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("mattorabatch %s\n", mtra::ui::kApplicationVersion);
            return 0;
        }
    }
    // Before any thread: exports allocate camera-size pictures on more than one thread.
    mtra::app::UseOneHeap();
    mtra::ui::Application app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return mtra::ui::RunProgram(app, arguments);
}
