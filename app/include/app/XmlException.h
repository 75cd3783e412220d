// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/AppExport.h>
#include <app/MTerr.h>

#include <exception>
#include <string>

namespace mtra::app {

/// A failure inside the reading or writing of a project file: the code to report and a
/// diagnostic message. It travels only inside the project-file code; every `LoadFromXml` and
/// `WriteToXml` catches it and returns `code` alone. `what()` is std::exception's.
/// Thrown by value, caught by reference; any thread.
class APP_EXPORT XmlException : public std::exception
{
public:
    XmlException(MTerr code, std::string message);
    ~XmlException() override;
    XmlException(const XmlException&) = default;
    XmlException& operator=(const XmlException&) = default;

    MTerr code;
    std::string message;
};

} // namespace mtra::app
