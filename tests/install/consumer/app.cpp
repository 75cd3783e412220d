// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
// A program of another project that uses the installed App through its umbrella header: the
// package must bring Qt along (find_dependency) and App's headers must be self-contained.
#include <app/App.h>

#include <cstdio>
#include <memory>

int main()
{
    using namespace mtra::app;
    KeyList keys;
    auto crop = std::make_shared<CropKeyItem>(0.0, 0.25, 0.0, 0.0);
    keys.Add(crop);
    KeyList copy = keys;
    KeyList::ItemPointer found;
    if (copy.Get(crop->Id(), found) != MT_OK || found == crop || !found->HasEffect())
        return 1;

    QString xml;
    QXmlStreamWriter writer(&xml);
    WriteElementValue(writer, QStringLiteral("v"), 0.33);
    std::printf("%s\n", xml.toStdString().c_str());
    return xml == QStringLiteral("<v>0.33000000000000002</v>") ? 0 : 1;
}
