// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include "QtPrinters.h"

#include <app/XmlException.h>
#include <app/XmlValue.h>

#include <QDomDocument>
#include <QXmlStreamWriter>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>

using namespace mtra::app;

namespace {

// Keeps the document alive with its root element.
struct Parsed {
    QDomDocument document;
    QDomElement root;
};

Parsed ParseRoot(const QString& xml)
{
    Parsed parsed;
    EXPECT_TRUE(static_cast<bool>(parsed.document.setContent(xml))) << xml.toStdString();
    parsed.root = parsed.document.documentElement();
    return parsed;
}

Parsed ParentWith(const QString& tag, const QString& text)
{
    return ParseRoot(QStringLiteral("<p><%1>%2</%1></p>").arg(tag, text));
}

template <typename Call> XmlException ExpectThrow(Call&& call)
{
    try {
        call();
    } catch (const XmlException& e) {
        return e;
    }
    ADD_FAILURE() << "no XmlException";
    return XmlException(MT_OK, {});
}

// --- Writing ---

struct WriteCase {
    std::string name;
    std::function<void(QXmlStreamWriter&)> write;
    QString expected;
};

void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << c.name;
}

class WriteValueTest : public ::testing::TestWithParam<WriteCase>
{
};

TEST_P(WriteValueTest, WritesTheStoredTextForm)
{
    QString xml;
    QXmlStreamWriter writer(&xml);
    GetParam().write(writer);
    EXPECT_EQ(xml, GetParam().expected);
}

const QString kTag = QStringLiteral("v");

INSTANTIATE_TEST_SUITE_P(Forms, WriteValueTest,
    ::testing::Values(
        WriteCase { "double_17_digits", [](auto& w) { WriteElementValue(w, kTag, 0.33); },
            QStringLiteral("<v>0.33000000000000002</v>") },
        WriteCase { "double_tenth", [](auto& w) { WriteElementValue(w, kTag, 0.1); },
            QStringLiteral("<v>0.10000000000000001</v>") },
        WriteCase { "double_whole", [](auto& w) { WriteElementValue(w, kTag, 6500.0); },
            QStringLiteral("<v>6500</v>") },
        WriteCase { "double_one", [](auto& w) { WriteElementValue(w, kTag, 1.0); },
            QStringLiteral("<v>1</v>") },
        WriteCase { "double_negative", [](auto& w) { WriteElementValue(w, kTag, -2.5); },
            QStringLiteral("<v>-2.5</v>") },
        WriteCase { "double_small", [](auto& w) { WriteElementValue(w, kTag, 1e-7); },
            QStringLiteral("<v>9.9999999999999995e-08</v>") },
        WriteCase { "float_9_digits", [](auto& w) { WriteElementValue(w, kTag, 0.1f); },
            QStringLiteral("<v>0.100000001</v>") },
        WriteCase { "float_half", [](auto& w) { WriteElementValue(w, kTag, 0.5f); },
            QStringLiteral("<v>0.5</v>") },
        WriteCase { "int_negative", [](auto& w) { WriteElementValue(w, kTag, -25); },
            QStringLiteral("<v>-25</v>") },
        WriteCase { "unsigned_max",
            [](auto& w) { WriteElementValue(w, kTag, std::numeric_limits<unsigned>::max()); },
            QStringLiteral("<v>4294967295</v>") },
        WriteCase { "bool_true", [](auto& w) { WriteElementValue(w, kTag, true); },
            QStringLiteral("<v>1</v>") },
        WriteCase { "bool_false", [](auto& w) { WriteElementValue(w, kTag, false); },
            QStringLiteral("<v>0</v>") },
        WriteCase { "string_cdata",
            [](auto& w) { WriteElementValue(w, kTag, QStringLiteral("a<b")); },
            QStringLiteral("<v><![CDATA[a<b]]></v>") },
        WriteCase { "string_cdata_end_split",
            [](auto& w) { WriteElementValue(w, kTag, QStringLiteral("a]]>b")); },
            QStringLiteral("<v><![CDATA[a]]]]><![CDATA[>b]]></v>") },
        WriteCase { "string_empty", [](auto& w) { WriteElementValue(w, kTag, QString()); },
            QStringLiteral("<v><![CDATA[]]></v>") },
        WriteCase { "string_plain",
            [](auto& w) { WriteElementValue(w, kTag, QStringLiteral("a<b"), false); },
            QStringLiteral("<v>a&lt;b</v>") },
        WriteCase { "wide_string",
            [](auto& w) { WriteElementValue(w, kTag, std::wstring(L"C:/\u00e9t\u00e9")); },
            QStringLiteral("<v><![CDATA[C:/\u00e9t\u00e9]]></v>") },
        WriteCase { "attribute_flags",
            [](auto& w) {
                w.writeStartElement(kTag);
                WriteAttributeValue(w, QStringLiteral("collapsed"), true);
                WriteAttributeValue(w, QStringLiteral("enabled"), false);
                w.writeEndElement();
            },
            QStringLiteral("<v collapsed=\"1\" enabled=\"0\"/>") }),
    [](const auto& param) { return param.param.name; });

TEST(WriteValueTest, ValuesThatCannotBeReadBackAreNotWritten)
{
    for (double value : { std::numeric_limits<double>::quiet_NaN(),
             std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity() }) {
        QString xml;
        QXmlStreamWriter writer(&xml);
        const XmlException e
            = ExpectThrow([&] { WriteElementValue(writer, QStringLiteral("blur"), value); });
        EXPECT_EQ(e.code, MT_XML_WRITE_FAILED);
        EXPECT_EQ(e.message, "blur tag cannot be written.  Bad lexical cast.");
        EXPECT_TRUE(xml.isEmpty()) << xml.toStdString();
    }
    QString xml;
    QXmlStreamWriter writer(&xml);
    const XmlException e = ExpectThrow([&] {
        WriteElementValue(writer, QStringLiteral("scale"), std::numeric_limits<float>::infinity());
    });
    EXPECT_EQ(e.code, MT_XML_WRITE_FAILED);
}

// A string survives the file as written: line breaks of every kind, CDATA's own terminator,
// characters beyond the BMP; one that XML cannot hold is refused before anything is written.
TEST(WriteValueTest, StringsComeBackAsWrittenOrAreRefused)
{
    for (const QString& value : { QStringLiteral("a\r\nb"), QStringLiteral("\r\n x"),
             QStringLiteral("x\r\r\ny\rz\n"), QStringLiteral("]]>\t<&>"),
             QString::fromUtf8("\xf0\x9f\x99\x82 caf\xc3\xa9"), QString() }) {
        for (const bool cdata : { true, false }) {
            QString xml;
            QXmlStreamWriter writer(&xml);
            writer.writeStartElement(QStringLiteral("p"));
            WriteElementValue(writer, QStringLiteral("s"), value, cdata);
            writer.writeEndElement();
            ASSERT_FALSE(writer.hasError());
            const Parsed parsed = ParseRoot(xml);
            EXPECT_EQ(ReadElementValue<QString>(parsed.root, QStringLiteral("s")), value)
                << xml.toStdString();
        }
    }
    for (const QString& value : { QString(QChar(1)), QStringLiteral("a") + QChar(0x1B),
             QString(QChar(0xFFFF)), QString(QChar(0xD800)) + QStringLiteral("x"),
             QString(QChar(0xDC00)), QStringLiteral(" \r\n") }) {
        EXPECT_FALSE(IsStorableText(value));
        QString xml;
        QXmlStreamWriter writer(&xml);
        const XmlException e
            = ExpectThrow([&] { WriteElementValue(writer, QStringLiteral("path"), value); });
        EXPECT_EQ(e.code, MT_XML_WRITE_FAILED);
        EXPECT_TRUE(xml.isEmpty()) << xml.toStdString();
    }
    EXPECT_TRUE(IsStorableText(QString::fromUtf8("\t\n\r\xef\xbf\xbd\xf0\x9f\x99\x82")));
}

// --- Reading numbers and flags ---

enum class Kind { Int, Unsigned, Float, Double, Bool };

struct ReadCase {
    std::string name;
    Kind kind;
    QString text;
    bool converts;
    double expected; // compared exactly, after widening
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

double ReadAs(Kind kind, const QDomElement& parent, const QString& tag)
{
    switch (kind) {
    case Kind::Int:
        return ReadElementValue<int>(parent, tag);
    case Kind::Unsigned:
        return ReadElementValue<unsigned int>(parent, tag);
    case Kind::Float:
        return ReadElementValue<float>(parent, tag);
    case Kind::Double:
        return ReadElementValue<double>(parent, tag);
    case Kind::Bool:
        return ReadElementValue<bool>(parent, tag) ? 1.0 : 0.0;
    }
    return 0.0;
}

class ReadValueTest : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(ReadValueTest, ConvertsTheWholeTextOrFails)
{
    const ReadCase& c = GetParam();
    const Parsed parsed = ParentWith(QStringLiteral("blur"), c.text);
    const QDomElement& parent = parsed.root;
    if (c.converts) {
        EXPECT_EQ(ReadAs(c.kind, parent, QStringLiteral("blur")), c.expected);
        return;
    }
    const XmlException e = ExpectThrow([&] { ReadAs(c.kind, parent, QStringLiteral("blur")); });
    EXPECT_EQ(e.code, MT_XML_INVALID);
    EXPECT_EQ(e.message, "blur data is corrupted, lexical cast failure.");
}

constexpr double kFail = 0.0;

INSTANTIATE_TEST_SUITE_P(Texts, ReadValueTest,
    ::testing::Values(ReadCase { "double_whole", Kind::Double, QStringLiteral("25"), true, 25.0 },
        ReadCase {
            "double_17_digits", Kind::Double, QStringLiteral("0.33000000000000002"), true, 0.33 },
        ReadCase { "double_exponent", Kind::Double, QStringLiteral("-2.5e-3"), true, -2.5e-3 },
        ReadCase { "double_leading_space", Kind::Double, QStringLiteral(" 25"), false, kFail },
        ReadCase { "double_trailing_space", Kind::Double, QStringLiteral("25 "), false, kFail },
        ReadCase { "double_empty", Kind::Double, QString(), false, kFail },
        ReadCase { "double_comma", Kind::Double, QStringLiteral("2,5"), false, kFail },
        ReadCase { "double_overflow", Kind::Double, QStringLiteral("1e400"), false, kFail },
        ReadCase { "double_nan", Kind::Double, QStringLiteral("nan"), false, kFail },
        ReadCase { "double_NaN", Kind::Double, QStringLiteral("NaN"), false, kFail },
        ReadCase { "double_inf", Kind::Double, QStringLiteral("inf"), false, kFail },
        ReadCase {
            "double_minus_infinity", Kind::Double, QStringLiteral("-Infinity"), false, kFail },
        ReadCase { "float_half", Kind::Float, QStringLiteral("0.5"), true, 0.5 },
        ReadCase { "float_9_digits", Kind::Float, QStringLiteral("0.100000001"), true,
            static_cast<double>(0.1f) },
        ReadCase { "float_overflow", Kind::Float, QStringLiteral("1e39"), false, kFail },
        ReadCase { "float_inf", Kind::Float, QStringLiteral("inf"), false, kFail },
        ReadCase { "int_negative", Kind::Int, QStringLiteral("-7"), true, -7.0 },
        ReadCase { "int_leading_space", Kind::Int, QStringLiteral(" 25"), false, kFail },
        ReadCase { "int_trailing_space", Kind::Int, QStringLiteral("25 "), false, kFail },
        ReadCase { "int_empty", Kind::Int, QString(), false, kFail },
        ReadCase { "int_fraction", Kind::Int, QStringLiteral("200.5"), false, kFail },
        ReadCase { "int_overflow", Kind::Int, QStringLiteral("2147483648"), false, kFail },
        ReadCase {
            "unsigned_max", Kind::Unsigned, QStringLiteral("4294967295"), true, 4294967295.0 },
        // Would otherwise wrap round to 4294967295 (a canvas width, for example).
        ReadCase { "unsigned_minus_one", Kind::Unsigned, QStringLiteral("-1"), false, kFail },
        ReadCase {
            "unsigned_overflow", Kind::Unsigned, QStringLiteral("4294967296"), false, kFail },
        ReadCase { "bool_one", Kind::Bool, QStringLiteral("1"), true, 1.0 },
        ReadCase { "bool_zero", Kind::Bool, QStringLiteral("0"), true, 0.0 },
        ReadCase { "bool_word", Kind::Bool, QStringLiteral("true"), false, kFail },
        ReadCase { "bool_two", Kind::Bool, QStringLiteral("2"), false, kFail },
        ReadCase { "bool_empty", Kind::Bool, QString(), false, kFail }),
    [](const auto& param) { return param.param.name; });

TEST(ReadValueTest, MissingTagIsReportedByName)
{
    // Only direct children count: a grandchild of the same name is not found.
    const Parsed parsed = ParseRoot(QStringLiteral("<p><x><dpi>200</dpi></x></p>"));
    const QDomElement& parent = parsed.root;
    const XmlException e
        = ExpectThrow([&] { ReadElementValue<int>(parent, QStringLiteral("dpi")); });
    EXPECT_EQ(e.code, MT_XML_INVALID);
    EXPECT_EQ(e.message, "dpi Tag is missing");
}

TEST(ReadValueTest, FirstOfTwoChildrenWinsAndOrderDoesNotMatter)
{
    const Parsed parsed = ParseRoot(
        QStringLiteral("<p><height>5</height><width>800</width><width>900</width></p>"));
    const QDomElement& parent = parsed.root;
    EXPECT_EQ(ReadElementValue<unsigned int>(parent, QStringLiteral("width")), 800u);
    EXPECT_EQ(ReadElementValue<unsigned int>(parent, QStringLiteral("height")), 5u);
}

TEST(ReadValueTest, StringsAreTheWholeTextUnchanged)
{
    const Parsed parsed = ParseRoot(
        QStringLiteral("<p><a><![CDATA[]]></a><b>  x y </b><c><![CDATA[<i>&amp;]]></c><d/></p>"));
    const QDomElement& parent = parsed.root;
    EXPECT_EQ(ReadElementValue<QString>(parent, QStringLiteral("a")), QString());
    EXPECT_EQ(ReadElementValue<QString>(parent, QStringLiteral("b")), QStringLiteral("  x y "));
    EXPECT_EQ(ReadElementValue<QString>(parent, QStringLiteral("c")), QStringLiteral("<i>&amp;"));
    EXPECT_EQ(ReadElementValue<std::wstring>(parent, QStringLiteral("d")), std::wstring());
    const XmlException e
        = ExpectThrow([&] { ReadElementValue<QString>(parent, QStringLiteral("e")); });
    EXPECT_EQ(e.message, "e Tag is missing");
}

TEST(ReadValueTest, FlagAttributes)
{
    const Parsed parsed = ParseRoot(
        QStringLiteral("<i enabled=\"1\" collapsed=\"0\" viewed=\"true\" batched=\" 1\"/>"));
    const QDomElement& element = parsed.root;
    EXPECT_TRUE(ReadAttributeValue<bool>(element, QStringLiteral("enabled")));
    EXPECT_FALSE(ReadAttributeValue<bool>(element, QStringLiteral("collapsed")));
    for (const char* name : { "viewed", "batched" }) {
        const XmlException e
            = ExpectThrow([&] { ReadAttributeValue<bool>(element, QString::fromLatin1(name)); });
        EXPECT_EQ(e.code, MT_XML_INVALID);
        EXPECT_EQ(e.message, std::string(name) + " data is corrupted, lexical cast failure.");
    }
    const XmlException e
        = ExpectThrow([&] { ReadAttributeValue<bool>(element, QStringLiteral("unique")); });
    EXPECT_EQ(e.code, MT_XML_INVALID);
    EXPECT_EQ(e.message, "unique Attribute is missing");
}

// --- Round trips ---

template <typename T> T RoundTrip(T value)
{
    QString xml;
    QXmlStreamWriter writer(&xml);
    writer.writeStartElement(QStringLiteral("p"));
    WriteElementValue(writer, QStringLiteral("v"), value);
    writer.writeEndElement();
    return ReadElementValue<T>(ParseRoot(xml).root, QStringLiteral("v"));
}

template <typename T> bool SameBits(T a, T b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

TEST(ValueRoundTripTest, EveryFiniteDoubleAndFloatComesBackBitForBit)
{
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<std::uint64_t> bits;
    int checked = 0;
    while (checked < 2000) {
        const std::uint64_t word = bits(random);
        double d;
        float f;
        std::memcpy(&d, &word, sizeof d);
        std::memcpy(&f, &word, sizeof f);
        if (!std::isfinite(d) || !std::isfinite(f))
            continue;
        ASSERT_TRUE(SameBits(RoundTrip(d), d)) << d;
        ASSERT_TRUE(SameBits(RoundTrip(f), f)) << f;
        ++checked;
    }
    EXPECT_TRUE(SameBits(RoundTrip(0.1), 0.1));
    EXPECT_TRUE(SameBits(RoundTrip(-0.0), -0.0));
    EXPECT_EQ(RoundTrip(std::numeric_limits<int>::min()), std::numeric_limits<int>::min());
    EXPECT_EQ(RoundTrip(QStringLiteral("a]]>b\u00e9")), QStringLiteral("a]]>b\u00e9"));
    EXPECT_EQ(RoundTrip(std::wstring(L"\u00e9t\u00e9/\U0001F600")), L"\u00e9t\u00e9/\U0001F600");
}

} // namespace
