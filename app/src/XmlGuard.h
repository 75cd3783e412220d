// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

#include <app/MTerr.h>
#include <app/XmlException.h>
#include <app/XmlValue.h>

#include <new>
#include <string>
#include <vector>

namespace mtra::app {

/// Records the message of every XmlException that a guard below turns into a code, while an
/// instance lives on the current thread. The messages are otherwise dropped at the
/// `LoadFromXml`/`WriteToXml` boundary; this is how tests see which check failed.
class XmlMessageCapture
{
public:
    XmlMessageCapture();
    ~XmlMessageCapture();
    XmlMessageCapture(const XmlMessageCapture&) = delete;
    XmlMessageCapture& operator=(const XmlMessageCapture&) = delete;

    /// Innermost first: an item's own message comes before its list's "failed to load".
    const std::vector<std::string>& Messages() const { return m_messages; }

    static void Note(const std::string& message) noexcept;

private:
    std::vector<std::string> m_messages;
    XmlMessageCapture* m_outer;
};

/// The boundary of every `LoadFromXml`: runs `body`, which reads and may throw, and returns
/// the code of an XmlException it threw (4 or 6), `MT_OUT_OF_MEMORY` when memory ran out, else 0.
template <typename Body> MTerr GuardedLoad(Body&& body)
{
    try {
        body();
        return MT_OK;
    } catch (const XmlException& e) {
        XmlMessageCapture::Note(e.message);
        return e.code;
    } catch (const std::bad_alloc&) {
        return MT_OUT_OF_MEMORY;
    }
}

/// The boundary of every `WriteToXml`: as `GuardedLoad`; running out of memory while writing
/// is a failed write (8).
template <typename Body> MTerr GuardedWrite(Body&& body)
{
    try {
        body();
        return MT_OK;
    } catch (const XmlException& e) {
        XmlMessageCapture::Note(e.message);
        return e.code;
    } catch (const std::bad_alloc&) {
        return MT_XML_WRITE_FAILED;
    }
}

/// Reads an enumerated value stored as an integer; a value that `isAllowed` refuses throws
/// code 4 with `message`.
template <typename Enum, typename Allowed>
Enum ReadEnumValue(
    const QDomElement& parent, const QString& tag, Allowed isAllowed, const char* message)
{
    const int value = ReadElementValue<int>(parent, tag);
    if (!isAllowed(value))
        throw XmlException(MT_XML_INVALID, message);
    return static_cast<Enum>(value);
}

/// `ReadEnumValue` for a contiguous range first … last.
template <typename Enum>
Enum ReadEnumInRange(
    const QDomElement& parent, const QString& tag, int first, int last, const char* message)
{
    return ReadEnumValue<Enum>(
        parent, tag, [=](int value) { return value >= first && value <= last; }, message);
}

} // namespace mtra::app
