// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
//
// Project files are untrusted input: the bytes become a file that Project(path, result) opens.
// Whatever the file holds, loading must not crash, must report one of the load codes, must
// leave a usable project (the default document on top of a failure), and a project that
// loaded cleanly must save and load again.
#include <app/Project.h>

#include "FuzzCheck.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition)
        mtra::fuzz::Fail("ProjectLoadFuzz", what);
}

const QTemporaryDir& Folder()
{
    static const QTemporaryDir folder;
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace mtra::app;
    const QString input = Folder().filePath(QStringLiteral("input.mtrabatch"));
    {
        QFile file(input);
        Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the input");
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    MTerr result = MT_DEFAULT_PROJECT_FAILED;
    Project project(input, result);
    Check(result == MT_OK || result == MT_XML_PARSE_FAILED || result == MT_XML_INVALID
            || result == MT_OUT_OF_MEMORY,
        "unexpected load result");
    const ForegroundImageList& batch = project.GetForegroundImageList();
    Check(batch.Get(QString()) != nullptr && batch.Get(QString())->Path().isEmpty(),
        "the empty image is missing");
    for (auto it = batch.Begin(); it != batch.End(); ++it) {
        Check(!it->first.isEmpty() && it->first == it->second->Path(), "image under a wrong key");
        Check(it->second->ForegroundSettings() != nullptr
                && it->second->BackgroundSettings() != nullptr
                && it->second->OverlaySettings() != nullptr,
            "image without settings");
        if (!it->second->IsUnique())
            Check(it->second->ForegroundSettings() == batch.DefaultForegroundSettings(),
                "shared image off the current defaults");
    }
    const quint64 pixels = quint64(project.GetCanvas().Width()) * project.GetCanvas().Height();
    Check(pixels > 0 && pixels <= 25'000'000, "canvas size out of range");

    if (result == MT_OK) {
        const QString saved = Folder().filePath(QStringLiteral("saved.mtrabatch"));
        Check(project.SaveToXml(saved, QStringLiteral("1"), QStringLiteral("1.0")) == MT_OK,
            "a loaded project does not save");
        MTerr again = MT_DEFAULT_PROJECT_FAILED;
        const Project reloaded(saved, again);
        Check(again == MT_OK, "a saved project does not load");
        Check(reloaded.GetForegroundImageList().Size() == batch.Size(), "images lost on saving");
    }
    return 0;
}
