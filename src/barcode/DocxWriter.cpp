#include "DocxWriter.h"

#include <wx/filefn.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/xml/xml.h>

#include <zip.h>

#include <cmath>
#include <string>

namespace {

const char* const kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const char* const kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const kDrawingNs = "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing";
const char* const kMainNs = "http://schemas.openxmlformats.org/drawingml/2006/main";
const char* const kPictureNs = "http://schemas.openxmlformats.org/drawingml/2006/picture";
const char* const kPackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
// English Metric Units per point.
const double kEmuPerPoint = 12700;

wxXmlNode* Element(wxXmlNode* parent, const wxString& name)
{
    auto* node = new wxXmlNode(wxXML_ELEMENT_NODE, name);
    if (parent)
        parent->AddChild(node);
    return node;
}

wxXmlNode* Element(wxXmlNode* parent, const wxString& name, std::initializer_list<std::pair<const char*, wxString>> attributes)
{
    wxXmlNode* node = Element(parent, name);
    for (const auto& attribute : attributes)
        node->AddAttribute(attribute.first, attribute.second);
    return node;
}

std::string ToXmlText(wxXmlNode* root)
{
    wxXmlDocument document;
    document.SetRoot(root);
    wxMemoryOutputStream out;
    document.Save(out, wxXML_NO_INDENTATION);
    std::string text(out.GetLength(), '\0');
    out.CopyTo(&text[0], text.size());
    return text;
}

wxXmlNode* ContentTypes()
{
    wxXmlNode* types = Element(nullptr, "Types", {{"xmlns", "http://schemas.openxmlformats.org/package/2006/content-types"}});
    Element(types, "Default", {{"Extension", "rels"}, {"ContentType", "application/vnd.openxmlformats-package.relationships+xml"}});
    Element(types, "Default", {{"Extension", "xml"}, {"ContentType", "application/xml"}});
    Element(types, "Default", {{"Extension", "png"}, {"ContentType", "image/png"}});
    Element(types, "Override", {{"PartName", "/word/document.xml"},
                                {"ContentType", "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"}});
    return types;
}

wxXmlNode* PackageRelations()
{
    wxXmlNode* relations = Element(nullptr, "Relationships", {{"xmlns", kPackageRelNs}});
    Element(relations, "Relationship", {{"Id", "rId1"}, {"Type", wxString(kRelNs) + "/officeDocument"},
                                        {"Target", "word/document.xml"}});
    return relations;
}

wxString PictureName(size_t index)
{
    return wxString::Format("image%zu.png", index + 1);
}

wxString PictureRelation(size_t index)
{
    return wxString::Format("rIdImage%zu", index + 1);
}

wxXmlNode* DocumentRelations(size_t pictures)
{
    wxXmlNode* relations = Element(nullptr, "Relationships", {{"xmlns", kPackageRelNs}});
    for (size_t i = 0; i < pictures; ++i)
        Element(relations, "Relationship", {{"Id", PictureRelation(i)}, {"Type", wxString(kRelNs) + "/image"},
                                            {"Target", "media/" + PictureName(i)}});
    return relations;
}

// The drawing of one inline picture, as Word writes it.
void AddInlinePicture(wxXmlNode* run, size_t index, double width, double height)
{
    const wxString cx = wxString::Format("%ld", std::lround(width * kEmuPerPoint));
    const wxString cy = wxString::Format("%ld", std::lround(height * kEmuPerPoint));
    const wxString id = wxString::Format("%zu", index + 1);
    wxXmlNode* inlined = Element(Element(run, "w:drawing"), "wp:inline",
                                 {{"distT", "0"}, {"distB", "0"}, {"distL", "0"}, {"distR", "0"}});
    Element(inlined, "wp:extent", {{"cx", cx}, {"cy", cy}});
    Element(inlined, "wp:docPr", {{"id", id}, {"name", "Picture " + id}});
    wxXmlNode* data = Element(Element(inlined, "a:graphic", {{"xmlns:a", kMainNs}}), "a:graphicData",
                              {{"uri", kPictureNs}});
    wxXmlNode* picture = Element(data, "pic:pic", {{"xmlns:pic", kPictureNs}});
    wxXmlNode* properties = Element(picture, "pic:nvPicPr");
    Element(properties, "pic:cNvPr", {{"id", id}, {"name", PictureName(index)}});
    Element(properties, "pic:cNvPicPr");
    wxXmlNode* fill = Element(picture, "pic:blipFill");
    Element(fill, "a:blip", {{"r:embed", PictureRelation(index)}});
    Element(Element(fill, "a:stretch"), "a:fillRect");
    wxXmlNode* shape = Element(picture, "pic:spPr");
    wxXmlNode* transform = Element(shape, "a:xfrm");
    Element(transform, "a:off", {{"x", "0"}, {"y", "0"}});
    Element(transform, "a:ext", {{"cx", cx}, {"cy", cy}});
    Element(Element(shape, "a:prstGeom", {{"prst", "rect"}}), "a:avLst");
}

bool AddPart(zip_t* archive, const char* name, const void* data, size_t size)
{
    zip_source_t* source = zip_source_buffer(archive, data, size, 0);
    if (!source)
        return false;
    if (zip_file_add(archive, name, source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

}  // namespace

CDocxWriter::CDocxWriter() : m_body(new wxXmlNode(wxXML_ELEMENT_NODE, "w:body"))
{
}

CDocxWriter::~CDocxWriter() = default;

wxXmlNode* CDocxWriter::NewParagraph(bool centred)
{
    // Appended at the end: wxXmlNode::AddChild walks to the last child each time,
    // which stays cheap for the few hundred paragraphs of a sheet.
    wxXmlNode* paragraph = Element(m_body.get(), "w:p");
    if (centred)
        Element(Element(paragraph, "w:pPr"), "w:jc", {{"w:val", "center"}});
    return paragraph;
}

void CDocxWriter::AddParagraph(const wxString& text)
{
    wxXmlNode* textNode = Element(Element(NewParagraph(false), "w:r"), "w:t", {{"xml:space", "preserve"}});
    textNode->AddChild(new wxXmlNode(wxXML_TEXT_NODE, wxString(), text));
}

void CDocxWriter::AddPicture(const std::vector<uint8_t>& png, double width, double height)
{
    AddInlinePicture(Element(NewParagraph(true), "w:r"), m_pictures.size(), width, height);
    m_pictures.push_back(png);
}

bool CDocxWriter::SaveToFile(const wxString& path) const
{
    auto* document = Element(nullptr, "w:document",
                             {{"xmlns:w", kWordNs}, {"xmlns:r", kRelNs}, {"xmlns:wp", kDrawingNs}});
    auto* body = new wxXmlNode(*m_body);
    document->AddChild(body);
    Element(body, "w:sectPr");
    const std::string parts[] = {ToXmlText(ContentTypes()), ToXmlText(PackageRelations()), ToXmlText(document),
                                 ToXmlText(DocumentRelations(m_pictures.size()))};
    const char* const names[] = {"[Content_Types].xml", "_rels/.rels", "word/document.xml",
                                 "word/_rels/document.xml.rels"};

    // Written beside the target first, so a failed write never spoils an existing file.
    const wxString temporary = path + ".part";
    int zipError = 0;
    zip_t* archive = zip_open(std::string(temporary.fn_str()).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &zipError);
    if (!archive)
        return false;
    bool ok = true;
    for (size_t i = 0; i < 4 && ok; ++i)
        ok = AddPart(archive, names[i], parts[i].data(), parts[i].size());
    for (size_t i = 0; i < m_pictures.size() && ok; ++i) {
        const std::string name = "word/media/" + std::string(PictureName(i).utf8_str());
        ok = AddPart(archive, name.c_str(), m_pictures[i].data(), m_pictures[i].size());
    }
    if (!ok) {
        zip_discard(archive);
        return false;
    }
    if (zip_close(archive) < 0) {
        zip_discard(archive);
        wxLogNull quiet;
        wxRemoveFile(temporary);
        return false;
    }
    return wxRenameFile(temporary, path, true);
}
