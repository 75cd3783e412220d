// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/XmlValue.h>

#include <app/XmlException.h>

#include <QStringList>

#include <boost/lexical_cast.hpp>

#include <cmath>
#include <string>
#include <type_traits>
#include <utility>

namespace mtra::app {

XmlException::XmlException(MTerr code_, std::string message_)
    : code(code_)
    , message(std::move(message_))
{
}

XmlException::~XmlException() = default;

namespace {

[[noreturn]] void ThrowCorrupted(const QString& name)
{
    throw XmlException(
        MT_XML_INVALID, name.toStdString() + " data is corrupted, lexical cast failure.");
}

// lexical_cast converts the whole text or nothing (no white space, no trailing characters) and
// writes floating-point values with max_digits10 significant digits, which is the stored form.
// It also accepts "nan", "inf" and, for unsigned types, "-1" (as the largest value); none of
// them is a value any model field can use, so they fail like any other bad text.
template <typename T> T ConvertText(const QString& text, const QString& name)
{
    const std::string bytes = text.toStdString();
    if constexpr (std::is_unsigned_v<T> && !std::is_same_v<T, bool>) {
        if (!bytes.empty() && bytes.front() == '-')
            ThrowCorrupted(name);
    }
    T value {};
    if (!boost::conversion::try_lexical_convert(bytes, value))
        ThrowCorrupted(name);
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value))
            ThrowCorrupted(name);
    }
    return value;
}

QDomElement RequireChild(const QDomElement& parent, const QString& tag)
{
    QDomElement child = parent.firstChildElement(tag);
    if (child.isNull())
        throw XmlException(MT_XML_INVALID, tag.toStdString() + " Tag is missing");
    return child;
}

template <typename T> T ReadNumber(const QDomElement& parent, const QString& tag)
{
    return ConvertText<T>(RequireChild(parent, tag).text(), tag);
}

template <typename T> void WriteNumber(QXmlStreamWriter& writer, const QString& tag, T value)
{
    std::string text;
    bool converted = true;
    // A value that could not be read back must not reach the file: the save would succeed and
    // the project would then fail to open.
    if constexpr (std::is_floating_point_v<T>)
        converted = std::isfinite(value);
    if (converted)
        converted = boost::conversion::try_lexical_convert(value, text);
    if (!converted)
        throw XmlException(
            MT_XML_WRITE_FAILED, tag.toStdString() + " tag cannot be written.  Bad lexical cast.");
    writer.writeTextElement(tag, QString::fromStdString(text));
}

void WriteString(QXmlStreamWriter& writer, const QString& tag, const QString& value, bool cdata)
{
    // The writer puts such characters into a CDATA section unchecked, and the file would
    // then never parse again.
    if (!IsStorableText(value))
        throw XmlException(MT_XML_WRITE_FAILED,
            tag.toStdString() + " tag cannot be written.  Character not allowed in XML.");
    writer.writeStartElement(tag);
    if (!value.contains(QLatin1Char('\r'))) {
        if (cdata)
            writer.writeCDATA(value);
        else
            writer.writeCharacters(value);
    } else {
        // A parser turns every raw "\r\n" and "\r" into "\n", CDATA or not; only a
        // character reference brings a carriage return back. Written as plain text, the
        // runs and the references "&#13;" read back as one text node.
        const QStringList runs = value.split(QLatin1Char('\r'));
        for (qsizetype i = 0; i < runs.size(); ++i) {
            if (i > 0)
                writer.writeEntityReference(QStringLiteral("#13"));
            if (!runs[i].isEmpty())
                writer.writeCharacters(runs[i]);
        }
    }
    writer.writeEndElement();
}

} // namespace

template <> int ReadElementValue<int>(const QDomElement& parent, const QString& tag)
{
    return ReadNumber<int>(parent, tag);
}

template <>
unsigned int ReadElementValue<unsigned int>(const QDomElement& parent, const QString& tag)
{
    return ReadNumber<unsigned int>(parent, tag);
}

template <> float ReadElementValue<float>(const QDomElement& parent, const QString& tag)
{
    return ReadNumber<float>(parent, tag);
}

template <> double ReadElementValue<double>(const QDomElement& parent, const QString& tag)
{
    return ReadNumber<double>(parent, tag);
}

template <> bool ReadElementValue<bool>(const QDomElement& parent, const QString& tag)
{
    return ReadNumber<bool>(parent, tag);
}

template <> QString ReadElementValue<QString>(const QDomElement& parent, const QString& tag)
{
    return RequireChild(parent, tag).text();
}

template <>
std::wstring ReadElementValue<std::wstring>(const QDomElement& parent, const QString& tag)
{
    return RequireChild(parent, tag).text().toStdWString();
}

template <> bool ReadAttributeValue<bool>(const QDomElement& element, const QString& name)
{
    if (!element.hasAttribute(name))
        throw XmlException(MT_XML_INVALID, name.toStdString() + " Attribute is missing");
    return ConvertText<bool>(element.attribute(name), name);
}

void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, int value)
{
    WriteNumber(writer, tag, value);
}

void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, unsigned int value)
{
    WriteNumber(writer, tag, value);
}

void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, float value)
{
    WriteNumber(writer, tag, value);
}

void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, double value)
{
    WriteNumber(writer, tag, value);
}

void WriteElementValue(QXmlStreamWriter& writer, const QString& tag, bool value)
{
    WriteNumber(writer, tag, value);
}

void WriteElementValue(
    QXmlStreamWriter& writer, const QString& tag, const QString& value, bool cdata)
{
    WriteString(writer, tag, value, cdata);
}

void WriteElementValue(
    QXmlStreamWriter& writer, const QString& tag, const std::wstring& value, bool cdata)
{
    WriteString(writer, tag, QString::fromStdWString(value), cdata);
}

bool IsStorableText(const QString& text)
{
    // XML 1.0 Char: #x9 | #xA | #xD | [#x20-#xD7FF] | [#xE000-#xFFFD] | [#x10000-#x10FFFF].
    const qsizetype size = text.size();
    bool onlySpace = true;
    bool carriageReturn = false;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text.at(i).unicode();
        carriageReturn = carriageReturn || c == u'\r';
        onlySpace = onlySpace && (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r');
        if (c < 0x20) {
            if (c != 0x9 && c != 0xA && c != 0xD)
                return false;
        } else if (QChar::isHighSurrogate(c)) {
            if (i + 1 == size || !QChar::isLowSurrogate(text.at(i + 1).unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF) {
            return false;
        }
    }
    // A carriage return survives only as a character reference in plain text, and the reader
    // drops text nodes made of white space alone.
    return !(onlySpace && carriageReturn);
}

void WriteAttributeValue(QXmlStreamWriter& writer, const QString& name, bool flag)
{
    writer.writeAttribute(name, flag ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace mtra::app
