// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: MattoraBatch developers
#include <app/Project.h>

#include "ModelAccess.h"
#include "XmlGuard.h"

#include <app/WholeFileWriter.h>
#include <app/XmlValue.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace. Calling it also makes a static link of
// the library pull in the resource's object file, which nothing else refers to.
static void InitAppResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(app); });
}

namespace mtra::app {

namespace {

const QString kDefaultDocument = QStringLiteral(":/xml/default.xml");

// The deepest element of a project file lies a few levels down (project, batch, image,
// settings, list, item, value); a file nested far deeper is not a project, and parsing it into
// a document takes time that grows faster than the square of its depth. The stream reader
// checks the depth in one linear pass before any document is built.
constexpr int kMaxElementDepth = 32;

bool IsWithinNestingLimit(const QByteArray& bytes)
{
    QXmlStreamReader reader(bytes);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > kMaxElementDepth)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return true; // a document that is not well-formed is the parser's to report
}

void CheckCanvas(const Canvas& canvas)
{
    if (!IsSupportedCanvasSize(canvas.Width(), canvas.Height()))
        throw XmlException(MT_XML_INVALID, "Canvas size is invalid");
}

// The same check on loading as in the export name editor keeps a project file from steering
// exports out of the chosen folder ("../../x").
void CheckAffix(const std::wstring& affix, const char* message)
{
    if (!IsValidExportAffix(QString::fromStdWString(affix)))
        throw XmlException(MT_XML_INVALID, message);
}

// The thumbnail folder becomes a path the program creates, fills and later deletes
// recursively, so only the name it generates itself ("yyyyMMddhhmmsszzz") is kept.
QString SafeThumbnailFolder(const QString& folder)
{
    static const QRegularExpression generated(QStringLiteral("^[0-9]{17}$"));
    return generated.match(folder).hasMatch() ? folder : QString();
}

} // namespace

Project::Project() = default;

Project::Project(MTerr& result)
{
    result = LoadDefaultXML();
}

Project::Project(const QString& path, MTerr& result)
{
    result = LoadFromXml(path);
    if (result != MT_OK && LoadDefaultXML() != MT_OK)
        result = MT_DEFAULT_PROJECT_FAILED;
}

Project::~Project() = default;

MTerr Project::LoadDefaultXML()
{
    InitAppResources();
    return LoadDocument(kDefaultDocument) == MT_OK ? MT_OK : MT_DEFAULT_PROJECT_FAILED;
}

MTerr Project::LoadFromXml(const QString& path)
{
    const MTerr result = LoadDocument(path);
    const QFileInfo file(path);
    // Whatever was read stays after a failure, so its paths are resolved all the same.
    ResolveRelativePaths(file.absolutePath());
    if (result == MT_OK)
        m_path = file.absoluteFilePath();
    return result;
}

void Project::ResolveRelativePaths(const QString& folder)
{
    if (m_backgroundImage)
        m_backgroundImage->SetPath(ResolvedPath(folder, m_backgroundImage->Path()));
    if (m_overlayImage)
        m_overlayImage->SetPath(ResolvedPath(folder, m_overlayImage->Path()));
    m_foregroundImages.ResolveRelativePaths(folder);
    m_currentForegroundPath = ResolvedPath(folder, m_currentForegroundPath);
}

QString Project::Folder() const
{
    return m_path.isEmpty() ? QString() : QFileInfo(m_path).absolutePath();
}

QString ResolvedPath(const QString& folder, const QString& path)
{
    if (path.isEmpty() || !QDir::isRelativePath(path))
        return path;
    return QDir::cleanPath(QDir(folder).absoluteFilePath(path));
}

MTerr Project::LoadDocument(const QString& path)
{
    // Out of memory anywhere in reading (the file, the parser, the objects) is a result, never
    // an abort.
    try {
        return LoadDocumentOrThrow(path);
    } catch (const std::bad_alloc&) {
        return MT_OUT_OF_MEMORY;
    }
}

MTerr Project::LoadDocumentOrThrow(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return MT_FILE_OPEN_FAILED;
    // A parsed document takes about 35 times the file's size in memory: anything beyond the
    // limit is refused before it is read whole.
    if (!file.isSequential() && file.size() > kMaxProjectFileBytes)
        return MT_XML_INVALID;
    const QByteArray bytes = file.read(kMaxProjectFileBytes + 1);
    if (bytes.size() > kMaxProjectFileBytes)
        return MT_XML_INVALID;
    file.close();
    if (!IsWithinNestingLimit(bytes))
        return MT_XML_INVALID;
    QDomDocument document;
    if (!document.setContent(bytes, true))
        return MT_XML_PARSE_FAILED;

    const QDomElement project = document.firstChildElement(QStringLiteral("project"));
    if (project.isNull() || project.firstChildElement(QStringLiteral("fileFormat")).isNull())
        return MT_XML_INVALID;
    m_fileFormat = project.firstChildElement(QStringLiteral("fileFormat")).text();
    FileFormatToInt(m_fileFormat);
    // The images are created outside the guards of the objects that load them; out of memory
    // there leaves what was read.
    MTerr result = MT_OUT_OF_MEMORY;
    try {
        result = LoadXmlFileFormat1(document);
    } catch (const std::bad_alloc&) {
    }
    // Whatever was read, the items' active flags must match what the program will show.
    m_foregroundImages.UpdateActiveFlags();
    return result;
}

int Project::FileFormatToInt(const QString&) const
{
    return 1;
}

MTerr Project::LoadXmlFileFormat1(QDomDocument& document)
{
    const QDomElement project = document.firstChildElement(QStringLiteral("project"));
    MTerr result = ModelAccess::Load(m_canvas, project);
    if (result != MT_OK)
        return result;
    result = GuardedLoad([&] { CheckCanvas(m_canvas); });
    if (result != MT_OK)
        return result;
    result = ModelAccess::Load(m_exportSettings, project);
    if (result != MT_OK)
        return result;
    result = GuardedLoad([&] {
        CheckAffix(m_exportSettings.Prefix(), "Export prefix is invalid");
        CheckAffix(m_exportSettings.Suffix(), "Export suffix is invalid");
    });
    if (result != MT_OK)
        return result;

    const QDomElement background = project.firstChildElement(QStringLiteral("backgroundImage"));
    if (!background.isNull()) {
        m_backgroundImage = std::make_shared<BackgroundImage>();
        result = ModelAccess::Load(*m_backgroundImage, background);
        if (result != MT_OK)
            return result;
    }
    const QDomElement overlay = project.firstChildElement(QStringLiteral("overlayImage"));
    if (!overlay.isNull()) {
        m_overlayImage = std::make_shared<OverlayImage>();
        result = ModelAccess::Load(*m_overlayImage, overlay);
        if (result != MT_OK)
            return result;
    }
    result = ModelAccess::Load(
        m_foregroundImages, project.firstChildElement(QStringLiteral("foregroundImageList")));
    if (result != MT_OK)
        return result;

    return GuardedLoad([&] {
        m_applicationVersion
            = ReadElementValue<QString>(project, QStringLiteral("applicationVersion"));
        m_currentForegroundPath
            = ReadElementValue<QString>(project, QStringLiteral("currentForegroundFilename"));
        m_currentThumbnailFolder = SafeThumbnailFolder(
            ReadElementValue<QString>(project, QStringLiteral("currentThumbnailFolder")));
        m_currentToolset
            = ReadEnumInRange<ToolsetSections>(project, QStringLiteral("currentToolset"),
                SectionCanvasSize, SectionExport, "ToolsetSection is invalid");
        m_currentLayer = ReadEnumInRange<LayerID>(project, QStringLiteral("currentLayer"),
            BackgroundLayer, OverlayLayer, "currentLayer is invalid");
        m_toolsetPosition
            = ReadEnumInRange<ToolsetPositionID>(project, QStringLiteral("toolsetPosition"),
                ToolsetLeft, ToolsetRight, "toolsetPosition is invalid");
        m_toolsetState = ReadEnumInRange<ToolsetStateID>(project, QStringLiteral("toolsetState"),
            ToolsetExpanded, ToolsetCollapsed, "toolsetState is invalid");
    });
}

MTerr Project::SaveToXml(
    const QString& path, const QString& applicationVersion, const QString& fileFormat) const
{
    return SaveToXmlAsFileFormat1(path, applicationVersion, fileFormat);
}

MTerr Project::SaveToXmlAsFileFormat1(
    const QString& path, const QString& applicationVersion, const QString& fileFormat) const
{
    // The whole document is built in memory first: a value that cannot be written then costs
    // nothing, and the file on disk is replaced in one step or not at all.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(false);

    const MTerr result = GuardedWrite([&] {
        writer.writeStartDocument();
        writer.writeStartElement(QStringLiteral("project"));
        WriteElementValue(writer, QStringLiteral("applicationVersion"), applicationVersion);
        WriteElementValue(writer, QStringLiteral("fileFormat"), fileFormat);
        WriteElementValue(
            writer, QStringLiteral("currentForegroundFilename"), m_currentForegroundPath);
        WriteElementValue(
            writer, QStringLiteral("currentThumbnailFolder"), m_currentThumbnailFolder);
        WriteElementValue(writer, QStringLiteral("currentToolset"), int(m_currentToolset));
        WriteElementValue(writer, QStringLiteral("currentLayer"), int(m_currentLayer));
        WriteElementValue(writer, QStringLiteral("toolsetPosition"), int(m_toolsetPosition));
        WriteElementValue(writer, QStringLiteral("toolsetState"), int(m_toolsetState));

        const auto writePart = [&](const AbstractProjectItem& part) {
            const MTerr code = ModelAccess::Write(part, writer);
            if (code != MT_OK)
                throw XmlException(code, "project part could not be saved");
        };
        if (m_backgroundImage)
            writePart(*m_backgroundImage);
        if (m_overlayImage)
            writePart(*m_overlayImage);
        writePart(m_canvas);
        writePart(m_exportSettings);
        writePart(m_foregroundImages);
        writer.writeEndElement();
        writer.writeEndDocument();
    });
    if (result != MT_OK)
        return result;
    if (writer.hasError())
        return MT_XML_WRITE_FAILED;
    return WriteWholeFile(path, bytes) ? MT_OK : MT_XML_WRITE_FAILED;
}

} // namespace mtra::app
