// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#pragma once

/// How single values are stored in a project file; every model class reads and writes its
/// values through these functions, so one file carries one text form per type:
///
/// - bool: "1" or "0"; read back from a decimal integer equal to 0 or 1.
/// - int, unsigned int: decimal, with "-" before a negative int.
/// - float: printf "%.9g" (0.1f is "0.100000001"); double: printf "%.17g" (0.33 is
///   "0.33000000000000002", 6500.0 is "6500"). Both read back bit for bit.
/// - strings: a CDATA section (or plain text); read back as the element's whole text.
///
/// A number or flag converts only as a whole: leading or trailing white space, an empty text, a
/// fraction for an integer or any stray character fails, and so do "nan" and "inf" (a stored
/// value must be finite) and a "-" before an unsigned value (it would wrap round). Each failure
/// throws `XmlException`; these functions are meant for code inside `LoadFromXml`/`WriteToXml`.
/// Values are found by tag among the direct children, first match wins, so the order of value
/// elements does not matter and unknown children are ignored. Any thread.

#include <app/AppExport.h>

#include <QDomElement>
#include <QString>
#include <QXmlStreamWriter>

#include <string>
#include <type_traits>

namespace mtra::app {

/// The value of the first direct child element of `parent` named `tag`. T is int,
/// unsigned int, float, double, bool, QString or std::wstring. Throws `XmlException` code 4
/// with tag + " Tag is missing" when there is no such child, and with
/// tag + " data is corrupted, lexical cast failure." when its text does not convert. Strings
/// are returned unchanged, CDATA or not; empty text is a valid empty string.
template <typename T>
T ReadElementValue([[maybe_unused]] const QDomElement& parent, [[maybe_unused]] const QString& tag)
{
    static_assert(!std::is_same_v<T, T>, "no stored form for this type");
    return T {};
}

template <> APP_EXPORT int ReadElementValue<int>(const QDomElement& parent, const QString& tag);
template <>
APP_EXPORT unsigned int ReadElementValue<unsigned int>(
    const QDomElement& parent, const QString& tag);
template <> APP_EXPORT float ReadElementValue<float>(const QDomElement& parent, const QString& tag);
template <>
APP_EXPORT double ReadElementValue<double>(const QDomElement& parent, const QString& tag);
template <> APP_EXPORT bool ReadElementValue<bool>(const QDomElement& parent, const QString& tag);
template <>
APP_EXPORT QString ReadElementValue<QString>(const QDomElement& parent, const QString& tag);
template <>
APP_EXPORT std::wstring ReadElementValue<std::wstring>(
    const QDomElement& parent, const QString& tag);

/// The flag in attribute `name` of `element`. Throws `XmlException` code 4 with
/// name + " Attribute is missing" or name + " data is corrupted, lexical cast failure.".
template <typename T>
T ReadAttributeValue(
    [[maybe_unused]] const QDomElement& element, [[maybe_unused]] const QString& name)
{
    static_assert(!std::is_same_v<T, T>, "attributes hold flags only");
    return T {};
}

template <>
APP_EXPORT bool ReadAttributeValue<bool>(const QDomElement& element, const QString& name);

/// Writes `<tag>text</tag>` at the writer's position. A value that has no text form (a number
/// that is not finite) throws `XmlException` code 8 with
/// tag + " tag cannot be written.  Bad lexical cast." and writes nothing.
APP_EXPORT void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, int value);
APP_EXPORT void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, unsigned int value);
APP_EXPORT void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, float value);
APP_EXPORT void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, double value);
APP_EXPORT void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, bool value);
/// Strings go into a CDATA section unless `cdata` is false; a string holding a carriage return
/// is written as plain text with each one as the reference "&#13;", so that "\r\n" reads back
/// as written. A string that XML 1.0 cannot
/// hold (see `IsStorableText`) throws `XmlException` code 8 and writes nothing.
APP_EXPORT void WriteElementValue(
    QXmlStreamWriter& writer, const QString& tag, const QString& value, bool cdata = true);
APP_EXPORT void WriteElementValue(
    QXmlStreamWriter& writer, const QString& tag, const std::wstring& value, bool cdata = true);
/// A string literal would silently pick the bool overload.
void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, const char* value) = delete;

/// Whether a project file can hold `text`: every character is one XML 1.0 allows (tab, line
/// feed, carriage return, U+0020 … U+D7FF, U+E000 … U+FFFD and properly paired surrogates).
/// Control characters such as U+0001, lone surrogates, U+FFFE and U+FFFF are not, nor is
/// white space alone that holds a carriage return (such a text would read back empty).
APP_EXPORT bool IsStorableText(const QString& text);

/// Writes the flag as attribute `name` ("1" or "0") on the element just started.
APP_EXPORT void WriteAttributeValue(QXmlStreamWriter& writer, const QString& name, bool flag);

} // namespace mtra::app
