// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

// Helpers for App's project-file tests: parse a fragment, write an object to a string, load an
// object and collect the messages its guards dropped. Needs AppInternal (private headers).

#include "QtPrinters.h"

#include "ModelAccess.h"
#include "XmlGuard.h"

#include <QDomDocument>
#include <QString>
#include <QXmlStreamWriter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mtra::test {

/// A parsed fragment; keeps the document alive with its root element.
struct Fragment {
    QDomDocument document;
    QDomElement root;
};

inline Fragment Parse(const QString& xml)
{
    Fragment fragment;
    const auto parsed = fragment.document.setContent(xml);
    EXPECT_TRUE(parsed) << xml.toStdString();
    fragment.root = fragment.document.documentElement();
    return fragment;
}

/// What an object's WriteToXml produced.
struct Written {
    app::MTerr result;
    QString xml;
};

inline Written Write(const app::AbstractProjectItem& object)
{
    Written written { app::MT_OK, {} };
    QXmlStreamWriter writer(&written.xml);
    written.result = app::ModelAccess::Write(object, writer);
    return written;
}

/// The result of a LoadFromXml and the messages dropped on the way, innermost first.
struct Loaded {
    app::MTerr result;
    std::vector<std::string> messages;

    std::string LastMessage() const { return messages.empty() ? std::string() : messages.back(); }
};

/// Loads `object` from the root of `xml` (an item's own element, or the parent element of a
/// list, canvas or export settings).
inline Loaded Load(app::AbstractProjectItem& object, const QString& xml)
{
    const Fragment fragment = Parse(xml);
    app::XmlMessageCapture capture;
    const app::MTerr result = app::ModelAccess::Load(object, fragment.root);
    return { result, capture.Messages() };
}

} // namespace mtra::test
