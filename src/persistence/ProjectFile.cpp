// Project files: writing and reading the project file, its description and
// the pictures beside them.
//
// ---- Sections ----
//   Helpers
//   Writing the description
//   Saving
//   Reading the description
//   Building the layers
//   Loading

#include "persistence/ProjectFile.h"

#include <pugixml.hpp>

#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

#include "document/CollageDocument.h"
#include "document/Decorations.h"
#include "document/LayerOrder.h"
#include "engine/DecodePool.h"
#include "engine/Errors.h"
#include "engine/PictureUtils.h"
#include "language/Language.h"
#include "persistence/ProjectValues.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "text/TextRender.h"

namespace fs = std::filesystem;

namespace {

// ---- Helpers ----

constexpr const char* kProjectVersion = "2011.5.02";
// Text sizes are em sizes in pixels; no text picture is larger than this.
constexpr int kMaxFontSize = kMaxTextPictureSide;
TProjectLimits gLimits;

// A failure while writing; its text goes into the error box.
class ESaveFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A description that cannot be used (reading stops there): the value that
// could not be read, or a file it names that cannot be found.
class EDamaged : public std::runtime_error {
public:
    explicit EDamaged(const std::string& what, const std::string& file = "")
        : std::runtime_error(what), File(file) {}
    std::string File;
};

std::string CollapseSeparators(const std::string& path) {
    std::string out;
    for (char c : path)
        if (!(!out.empty() && (c == '/' || c == '\\') && out.back() == c)) out += c;
    return out;
}

// A texture by its name in the library's Textures folder, in the backslash
// form ("" for none): projects carry no full paths.
std::string TextureName(const std::string& file) {
    if (file.empty()) return {};
    const std::string folder = ResourceRoot() + "Textures/";
    std::string name = file.rfind(folder, 0) == 0 ? file.substr(folder.size()) : ExtractFileName(file);
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

// A scale factor with a decimal point whatever the locale.
std::string FormatScale(float v) {
    return QString::number(double(v), 'g', 9).toStdString();
}

std::string ChangeExtension(const std::string& path, const std::string& ext) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
    return path.substr(0, dot) + ext;
}

std::string FileExtension(const std::string& path) {
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot);
}

std::string ErrnoText() {
    return std::strerror(errno);
}

// Writes the whole text, checking every step (a full disk often shows only
// when the file is closed).
void WriteWholeFile(const std::string& path, const std::string& data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw ESaveFailed(path + ": " + ErrnoText());
    const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size() && std::fflush(f) == 0;
    const std::string why = written ? "" : ErrnoText();
    if (std::fclose(f) != 0 || !written) throw ESaveFailed(path + ": " + (why.empty() ? ErrnoText() : why));
}

void CopyWholeFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) throw ESaveFailed(from + " -> " + to + ": " + ec.message());
}

std::string XmlText(const pugi::xml_document& xml) {
    std::ostringstream out;
    xml.save(out, "\t", pugi::format_indent, pugi::encoding_utf8);
    return out.str();
}

void AddDeclaration(pugi::xml_document& xml) {
    pugi::xml_node decl = xml.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
}

pugi::xml_node AddText(pugi::xml_node parent, const char* name, const std::string& text) {
    pugi::xml_node node = parent.append_child(name);
    node.text().set(text.c_str());
    return node;
}

void AddRect(pugi::xml_node parent, const char* name, int l, int t, int r, int b) {
    pugi::xml_node node = parent.append_child(name);
    node.append_attribute("Left") = l;
    node.append_attribute("Top") = t;
    node.append_attribute("Right") = r;
    node.append_attribute("Bottom") = b;
}

// Extensions the picture loader reads; a photo copied under another one
// could not be opened again.
bool LoadableExtension(const std::string& path) {
    const std::string ext = LowerExtension(path);
    return ext == ".bmp" || ext == ".jpg" || ext == ".jpeg" || ext == ".gif" || ext == ".png";
}

// "file: reason" of a failure about a file, the text of any other.
std::string FailureLine(const std::exception& e) {
    const auto* user = dynamic_cast<const EUserError*>(&e);
    return user ? user->Detail() : e.what();
}

void WriteLayerPicture(const std::string& path, const TBitmap32& picture) {
    try {
        SavePNG32(path, picture, false, 9, 0xFFFFFF, true);
    } catch (const std::exception& e) {
        throw ESaveFailed(FailureLine(e));
    }
}

bool IsInside(const std::string& path, const std::string& folder) {
    std::error_code ec;
    const fs::path p = fs::absolute(fs::path(path), ec).lexically_normal();
    if (ec) return false;
    const fs::path f = fs::absolute(fs::path(folder), ec).lexically_normal();
    if (ec) return false;
    auto pi = p.begin();
    for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
        if (fi->empty()) continue; // a trailing separator
        if (pi == p.end() || *pi != *fi) return false;
    }
    return pi != p.end();
}

// ---- Writing the description ----

// A picture file the project refers to after the save, for the layers and
// the background whose source lay inside the folder being replaced.
struct TWrittenCopy {
    TNewRotLayer* Layer = nullptr; // nullptr: the background picture
    std::string Source;            // where it was copied from
    std::string RelativePath;      // inside the project folder
};

struct TDescriptionWriter {
    TCollageDocument& Doc;
    bool Template;
    std::string Folder; // the temporary project folder
    std::vector<TWrittenCopy> Copies;

    void WriteSetting(pugi::xml_node root) {
        const TCollageSettings& s = Doc.CollageSettings;
        pugi::xml_node set = root.append_child("Setting");
        AddText(set, "SizeType", std::to_string(s.SizeType));
        AddText(set, "PredifineType", std::to_string(s.PredifineType));
        pugi::xml_node unit = set.append_child("Unit");
        unit.append_attribute("Width") = int(s.WidthUnit);
        unit.append_attribute("Height") = int(s.HeightUnit);
        pugi::xml_node size = set.append_child("Size");
        size.append_attribute("Width") = s.Width;
        size.append_attribute("Height") = s.Height;
        AddText(set, "Orientation", std::to_string(s.Orientation));
        AddText(set, "BKType", std::to_string(s.BKType));
        if (s.BKType == 1) AddText(set, "BKColor", std::to_string(int32_t(s.BKColor)));
        if (s.BKType == 2) {
            std::string name;
            if (FileExists(s.BKImageFile) && LoadableExtension(s.BKImageFile)) {
                name = "0" + FileExtension(s.BKImageFile);
                CopyWholeFile(s.BKImageFile, Folder + "/UserImage/" + name);
                Copies.push_back({nullptr, s.BKImageFile, "UserImage/" + name});
            } else {
                // the page as shown, without layers
                name = "0.png";
                WriteLayerPicture(Folder + "/UserImage/" + name, Doc.ImageScreen.Bitmap);
            }
            AddText(set, "BKImageFile", name);
            AddText(set, "BKImageFillType", std::to_string(s.BKImageFillType));
        }
    }

    // The "Photo" text of a layer, writing its picture where the project
    // keeps one; nullopt when no "Photo" is written. copied tells whether the
    // picture is a copy of the layer's file (which then still needs its
    // flips).
    std::optional<std::string> WritePicture(TNewRotLayer& layer, int n, bool& copied) {
        copied = false;
        const std::string number = std::to_string(n);
        switch (layer.ImageType) {
        case itPhoto: {
            if (Template) return std::nullopt;
            // a filtered photo is no longer what its file holds: its picture
            // is written instead, as for a photo without a file
            if (!layer.PictureEdited && FileExists(layer.SourceFile) && LoadableExtension(layer.SourceFile)) {
                const std::string name = number + FileExtension(layer.SourceFile);
                CopyWholeFile(layer.SourceFile, Folder + "/UserImage/" + name);
                Copies.push_back({&layer, layer.SourceFile, "UserImage/" + name});
                copied = true;
                return name;
            }
            const std::string name = number + ".png";
            // an empty picture has nothing to keep; the layer is dropped on load
            if (!layer.Picture.Empty()) WriteLayerPicture(Folder + "/UserImage/" + name, layer.Picture);
            return name;
        }
        case itText: {
            // The picture is written as drawn, before any mirroring, with
            // the flips beside it (as for clipart): the flags stay known,
            // so the text stays mirrored when it is drawn anew.
            const std::string name = number + ".png";
            if (!layer.Picture.Empty()) {
                if (layer.FlipH || layer.FlipV) {
                    TBitmap32 drawn;
                    drawn.Assign(layer.Picture);
                    if (layer.FlipH) drawn.FlipHorz();
                    if (layer.FlipV) drawn.FlipVert();
                    WriteLayerPicture(Folder + "/UserImage/" + name, drawn);
                } else {
                    WriteLayerPicture(Folder + "/UserImage/" + name, layer.Picture);
                }
            }
            return name;
        }
        case itUserClipart: {
            const std::string name = number + ".png";
            if (!layer.Picture.Empty())
                WriteLayerPicture(Folder + "/Clipart/Customize/" + name, layer.Picture);
            return name;
        }
        default:
            return layer.SourceFile; // library names, kept as they are
        }
    }

    void WriteLayer(pugi::xml_node root, TNewRotLayer& layer, int n) {
        pugi::xml_node e = root.append_child(("Layer" + std::to_string(n)).c_str());
        const bool asPlaceholder = Template && layer.ImageType == itPhoto;
        const int type = asPlaceholder ? int(itPlaceholder) : int(layer.ImageType);
        AddText(e, "ImageType", std::to_string(type));
        bool copied = false;
        if (auto photo = WritePicture(layer, n, copied)) AddText(e, "Photo", *photo);
        if (layer.ImageType == itText) {
            AddText(e, "Text", layer.Text);
            if (layer.Font) {
                // the number of the size box: the em size in pixels
                const QFont& f = layer.Font->Font;
                const int size = f.pixelSize() > 0 ? f.pixelSize() : f.pointSize();
                AddText(e, "FontName", f.family().toStdString());
                AddText(e, "FontSize", std::to_string(size));
                AddText(e, "FontStyle", FormatFontStyle(FontStyleOf(f)));
                AddText(e, "FontColor", FormatFontColor(ToWinColor(layer.Font->Color)));
            }
            AddText(e, "AALevel", std::to_string(layer.AALevel));
        }
        const bool flips =
            type == itClipart || type == itPlaceholder || type == itBorderFrame || type == itText || copied;
        if (flips) {
            AddText(e, "FlipH", FormatFlip(layer.FlipH));
            AddText(e, "FlipV", FormatFlip(layer.FlipV));
        }
        AddText(e, "Angle", FormatAngle(layer.Angle));
        AddText(e, "Locked", FormatLocked(layer.Locked));
        const TFloatRect& l = layer.Location;
        AddRect(e, "Location", Round(l.Left), Round(l.Top), Round(l.Right), Round(l.Bottom));
        AddText(e, "Trans", std::to_string(layer.Picture.MasterAlpha));
        if (layer.SubFramePicture) AddText(e, "SubFrame", layer.SubFrameName);
        if (layer.MaskPicture) AddText(e, "Mask", layer.MaskName);
        const TRect& v = layer.ViewedRect;
        AddRect(e, "ViewedRect", v.Left, v.Top, v.Right, v.Bottom);
        if (layer.ShadowOn) {
            pugi::xml_node s = e.append_child("Shadow");
            s.append_attribute("OffsetX") = layer.ShadowOffsetX;
            s.append_attribute("OffsetY") = layer.ShadowOffsetY;
            s.append_attribute("Transparent") = layer.ShadowTransparent;
            s.append_attribute("Smooth") = layer.ShadowSmooth;
            s.append_attribute("Color") = FormatShadowColor(layer.ShadowColor).c_str();
        }
        if (layer.ImageType == itText && layer.TextStyle) WriteTextStyle(e, *layer.TextStyle);
    }

    // Glow, texture, scale and alignment of a text, so that it keeps its
    // look when it is edited after reopening. Readers that do not know the
    // element skip it.
    static void WriteTextStyle(pugi::xml_node e, const TTextStyle& t) {
        pugi::xml_node s = e.append_child("TextStyle");
        s.append_attribute("Halation") = t.Halation ? "1" : "0";
        s.append_attribute("HalationColor") = std::to_string(t.HalationColor).c_str();
        s.append_attribute("HalationSize") = std::to_string(t.HalationSize).c_str();
        s.append_attribute("Texture") = TextureName(t.TextureFile).c_str();
        s.append_attribute("ScaleX") = FormatScale(t.TextScaleX).c_str();
        s.append_attribute("ScaleY") = FormatScale(t.TextScaleY).c_str();
        s.append_attribute("HorzAlign") = std::to_string(t.HorzAlign).c_str();
        s.append_attribute("VertAlign") = std::to_string(t.VertAlign).c_str();
    }

    std::string Write() {
        pugi::xml_document xml;
        AddDeclaration(xml);
        pugi::xml_node root = xml.append_child("vlm_project");
        root.append_attribute("version") = kProjectVersion;
        root.append_attribute("company") = "Quorvel";
        root.append_attribute("production") = "Velmora Photo Editor";
        WriteSetting(root);
        int n = 0;
        for (int i = 0; i < Doc.LayerCount(); ++i)
            if (TNewRotLayer* layer = Doc.ContentLayerAt(i)) WriteLayer(root, *layer, ++n);
        return XmlText(xml);
    }
};

std::string ProjectFileText(const std::string& folderName) {
    pugi::xml_document xml;
    AddDeclaration(xml);
    pugi::xml_node root = xml.append_child("File");
    AddText(root, "Version", kProjectVersion);
    AddText(root, "Type", "Project");
    AddText(root, "Folder", folderName);
    return XmlText(xml);
}

// ---- Saving ----

// The files of one save: the finished project is built under temporary names
// and swapped in at the end; whatever is left over on the way out (after a
// failure, or the previous project after success) is removed.
class TSaveTransaction {
public:
    TSaveTransaction(const std::string& path) : FPath(path), FFolder(ProjectFolderFor(path)) {
        FDir = ExtractFileDir(path);
        if (FDir.empty()) FDir = ".";
        const std::string stem = ExtractFileName(ChangeExtension(ExtractFileName(path), ""));
        FTempFile = FreeName(stem, "new");
        FTempFolder = ProjectFolderFor(FTempFile);
        FOldFile = FreeName(stem, "old");
        FOldFolder = ProjectFolderFor(FOldFile);
    }
    ~TSaveTransaction() {
        std::error_code ec;
        if (!FCommitted) {
            fs::remove_all(FTempFolder, ec);
            fs::remove(FTempFile, ec);
            return; // the previous project is back in its place
        }
        fs::remove_all(FOldFolder, ec);
        fs::remove(FOldFile, ec);
    }

    const std::string& TempFile() const { return FTempFile; }
    const std::string& TempFolder() const { return FTempFolder; }

    void CreateFolders() {
        for (const std::string& dir : {FTempFolder + "/UserImage", FTempFolder + "/Clipart/Customize"}) {
            std::error_code ec;
            fs::create_directories(dir, ec);
            if (ec || !DirectoryExists(dir))
                throw ESaveFailed(dir + ": " + (ec ? ec.message() : "not created"));
        }
    }

    // Old project aside, new one in; every step undone when a later one
    // fails.
    void Swap() {
        std::error_code ec;
        const bool oldFolder = fs::exists(fs::symlink_status(FFolder, ec));
        const bool oldFile = fs::exists(fs::symlink_status(FPath, ec));
        auto fail = [](const std::string& what, const std::error_code& e) {
            throw ESaveFailed(what + ": " + e.message());
        };
        if (oldFolder) {
            fs::rename(FFolder, FOldFolder, ec);
            if (ec) fail(FFolder, ec);
        }
        std::error_code undo;
        if (oldFile) {
            fs::rename(FPath, FOldFile, ec);
            if (ec) {
                if (oldFolder) fs::rename(FOldFolder, FFolder, undo);
                fail(FPath, ec);
            }
        }
        fs::rename(FTempFolder, FFolder, ec);
        if (ec) {
            if (oldFile) fs::rename(FOldFile, FPath, undo);
            if (oldFolder) fs::rename(FOldFolder, FFolder, undo);
            fail(FFolder, ec);
        }
        fs::rename(FTempFile, FPath, ec);
        if (ec) {
            fs::rename(FFolder, FTempFolder, undo);
            if (oldFile) fs::rename(FOldFile, FPath, undo);
            if (oldFolder) fs::rename(FOldFolder, FFolder, undo);
            fail(FPath, ec);
        }
        FCommitted = true;
    }

private:
    // A hidden name beside the project, used by neither a file nor a folder.
    std::string FreeName(const std::string& stem, const char* role) {
        for (;;) {
            const std::string name = FDir + "/." + stem + "~" + role +
                                     std::to_string(QRandomGenerator::global()->bounded(1000000)) + ".clv";
            std::error_code ec;
            if (!fs::exists(fs::symlink_status(name, ec)) &&
                !fs::exists(fs::symlink_status(ProjectFolderFor(name), ec)) && name != FTempFile)
                return name;
        }
    }

    std::string FPath, FFolder, FDir;
    std::string FTempFile, FTempFolder, FOldFile, FOldFolder;
    bool FCommitted = false;
};

} // namespace

std::string ProjectFolderFor(const std::string& projectFile) {
    return ChangeExtension(projectFile, "_CLV");
}

void SetProjectLimits(const TProjectLimits& limits) {
    gLimits = limits;
}
const TProjectLimits& ProjectLimits() {
    return gLimits;
}

bool ConfirmProjectFolderReplace(const std::string& path) {
    return ConfirmReplace(ExtractFileName(ProjectFolderFor(path)),
                          Lang("The project folder [%s] has existed, do you want to overwrite?"),
                          Lang("Information"));
}

bool SaveProject(TCollageDocument& doc, const std::string& path, bool asTemplate,
                 TFolderQuestion folderQuestion) {
    if (path.empty()) return false;
    TBusyScope busy;
    const std::string folder = ProjectFolderFor(path);
    const std::string folderName = ExtractFileName(folder);
    if (folderQuestion == TFolderQuestion::Ask && DirectoryExists(folder) && !FileExists(path) &&
        !ConfirmProjectFolderReplace(path))
        return false;

    std::vector<TWrittenCopy> copies;
    try {
        const std::string dir = ExtractFileDir(path);
        if (!dir.empty() && !DirectoryExists(dir)) {
            std::error_code ec;
            fs::create_directories(dir, ec);
            if (ec || !DirectoryExists(dir))
                throw ESaveFailed(dir + ": " + (ec ? ec.message() : "not created"));
        }
        if (DirectoryExists(path)) throw ESaveFailed(path + ": " + std::strerror(EISDIR));
        TSaveTransaction save(path);
        save.CreateFolders();
        WriteWholeFile(save.TempFile(), ProjectFileText(folderName));
        TDescriptionWriter writer{doc, asTemplate, save.TempFolder(), {}};
        WriteWholeFile(save.TempFolder() + "/Info.cfg", writer.Write());
        save.Swap();
        copies = std::move(writer.Copies);
    } catch (const std::exception& e) {
        ShowError(Lang("The project could not be saved.") + "\r" + FailureLine(e));
        return false;
    }

    // Pictures that came from the folder just replaced now live under new
    // numbers: point their layers at the copies written for them.
    for (const TWrittenCopy& c : copies) {
        if (!IsInside(c.Source, folder)) continue;
        const std::string now = folder + "/" + c.RelativePath;
        if (c.Layer)
            c.Layer->SourceFile = now;
        else
            doc.CollageSettings.BKImageFile = now;
    }
    doc.ProjectFile = CollapseSeparators(path);
    doc.CaptionTitle = TCaptionTitle::Project;
    doc.SetModified(false);
    return true;
}

namespace {

// ---- Reading the description ----

std::string ChildText(const pugi::xml_node& node, const char* name) {
    return node.child(name).text().get();
}

int32_t RequireInt(const std::string& text, const char* what) {
    const auto v = ParseInt(text);
    if (!v) throw EDamaged(std::string(what) + ": " + text);
    return *v;
}

uint8_t RequireByte(const std::string& text, const char* what) {
    const int32_t v = RequireInt(text, what);
    if (v < 0 || v > 255) throw EDamaged(std::string(what) + ": " + text);
    return uint8_t(v);
}

bool HasElementChildren(const pugi::xml_node& node) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) return true;
    return false;
}

TRect ReadRect(const pugi::xml_node& node, const char* what) {
    return {RequireInt(node.attribute("Left").value(), what), RequireInt(node.attribute("Top").value(), what),
            RequireInt(node.attribute("Right").value(), what),
            RequireInt(node.attribute("Bottom").value(), what)};
}

struct TShadowDesc {
    int32_t OffsetX, OffsetY, Transparent, Smooth;
    TColor32 Color;
};

// One layer element as read, before anything is built from it.
struct TLayerDesc {
    bool Border = false;
    uint8_t ImageType = itPhoto;
    std::string Photo;
    std::string Text;
    std::string FontName;
    int32_t FontSize = 16;
    std::optional<TFontStyleSet> FontStyle;
    std::optional<TColor> FontColor;
    int32_t AALevel = 4;
    bool FlipH = false, FlipV = false;
    float Angle = 0;
    bool Locked = false;
    TRect Location;
    std::optional<uint8_t> Trans;
    std::string SubFrame, Mask;
    std::optional<TRect> ViewedRect;
    std::optional<TShadowDesc> Shadow;
    std::optional<TTextStyle> TextStyle;
};

// A text's TextStyle element; values that cannot be read keep their
// defaults (it only refines how the text is drawn anew).
TTextStyle ReadTextStyle(const pugi::xml_node& s) {
    TTextStyle t;
    t.Halation = std::string(s.attribute("Halation").value()) == "1";
    if (const auto c = ParseInt(s.attribute("HalationColor").value())) t.HalationColor = *c & 0xFFFFFF;
    if (const auto n = ParseInt(s.attribute("HalationSize").value())) t.HalationSize = std::clamp(*n, 1, 100);
    const std::string texture = TrimSpaces(s.attribute("Texture").value());
    if (!texture.empty() && IsConfinedName(texture))
        t.TextureFile = (ResourceRoot() + "Textures/" + NativePath(texture)).substr(0, 255);
    auto scale = [](const char* text, float& out) {
        bool ok = false;
        const double v = QString::fromUtf8(text).trimmed().toDouble(&ok);
        if (ok && std::isfinite(v) && v >= 1e-4 && v <= 1e4) out = float(v);
    };
    scale(s.attribute("ScaleX").value(), t.TextScaleX);
    scale(s.attribute("ScaleY").value(), t.TextScaleY);
    if (const auto h = ParseInt(s.attribute("HorzAlign").value()); h && *h >= 0 && *h <= 3)
        t.HorzAlign = uint8_t(*h);
    if (const auto v = ParseInt(s.attribute("VertAlign").value()); v && *v >= 0 && *v <= 3)
        t.VertAlign = uint8_t(*v);
    return t;
}

TLayerDesc ReadLayer(const pugi::xml_node& e) {
    TLayerDesc d;
    const std::string type = TrimSpaces(ChildText(e, "ImageType"));
    d.Photo = TrimSpaces(ChildText(e, "Photo"));
    if (type == "4") {
        d.Border = true;
        d.ImageType = itBorderFrame;
        return d; // a border frame is made from its name alone
    }
    d.ImageType = RequireByte(type, "ImageType");
    if (d.ImageType == itText) {
        d.Text = TextFromXml(ChildText(e, "Text"));
        d.FontName = TrimSpaces(ChildText(e, "FontName"));
        // sizes and levels no text panel offers count as unreadable
        if (const auto size = ParseInt(ChildText(e, "FontSize")); size && *size > 0 && *size <= kMaxFontSize)
            d.FontSize = *size;
        d.FontStyle = ParseFontStyle(ChildText(e, "FontStyle"));
        d.FontColor = ParseFontColor(ChildText(e, "FontColor"));
        if (const auto aa = ParseInt(ChildText(e, "AALevel")); aa && *aa >= 0 && *aa <= 4) d.AALevel = *aa;
    }
    d.FlipH = ParseFlip(ChildText(e, "FlipH"));
    d.FlipV = ParseFlip(ChildText(e, "FlipV"));
    const std::string angle = ChildText(e, "Angle");
    const auto a = ParseAngle(angle);
    if (!a) throw EDamaged("Angle: " + angle);
    d.Angle = *a;
    d.Locked = ParseLocked(ChildText(e, "Locked"));
    d.Location = ReadRect(e.child("Location"), "Location");
    if (int64_t(d.Location.Right) - d.Location.Left > gLimits.MaxLayerSide ||
        int64_t(d.Location.Bottom) - d.Location.Top > gLimits.MaxLayerSide)
        throw EDamaged("Location");
    const std::string trans = TrimSpaces(ChildText(e, "Trans"));
    if (!trans.empty()) d.Trans = uint8_t(std::clamp(RequireInt(trans, "Trans"), 0, 255));
    d.SubFrame = ChildText(e, "SubFrame");
    d.Mask = ChildText(e, "Mask");
    const pugi::xml_node view = e.child("ViewedRect");
    if (view.first_attribute()) d.ViewedRect = ReadRect(view, "ViewedRect");
    const pugi::xml_node shadow = e.child("Shadow");
    if (shadow.first_attribute()) {
        TShadowDesc s;
        s.OffsetX = RequireInt(shadow.attribute("OffsetX").value(), "Shadow");
        s.OffsetY = RequireInt(shadow.attribute("OffsetY").value(), "Shadow");
        s.Transparent = RequireInt(shadow.attribute("Transparent").value(), "Shadow");
        s.Smooth =
            std::clamp(RequireInt(shadow.attribute("Smooth").value(), "Shadow"), 0, gLimits.MaxShadowSmooth);
        const auto color = ParseShadowColor(shadow.attribute("Color").value());
        if (!color) throw EDamaged("Shadow");
        s.Color = *color;
        d.Shadow = s;
    }
    if (d.ImageType == itText)
        if (const pugi::xml_node style = e.child("TextStyle")) d.TextStyle = ReadTextStyle(style);
    return d;
}

// Everything a load needs, read and checked before the document changes.
struct TProjectDesc {
    std::string Folder; // the project folder
    TCollageSettings Settings;
    std::vector<TLayerDesc> Layers;
    bool Damaged = false; // reading stopped at a damaged layer
    std::string Problem;  // what could not be read: "file: reason"
};

enum class TOpenFailure { None, ProjectFile, NoDescription, Description };

TCollageSettings ReadSettings(const pugi::xml_node& set, const std::string& folder) {
    TCollageSettings s; // the defaults of a new page
    s.SizeType = RequireByte(ChildText(set, "SizeType"), "SizeType");
    s.PredifineType = RequireByte(ChildText(set, "PredifineType"), "PredifineType");
    const pugi::xml_node unit = set.child("Unit");
    s.WidthUnit = RequireByte(unit.attribute("Width").value(), "Unit");
    s.HeightUnit = RequireByte(unit.attribute("Height").value(), "Unit");
    const pugi::xml_node size = set.child("Size");
    s.Width = RequireInt(size.attribute("Width").value(), "Size");
    s.Height = RequireInt(size.attribute("Height").value(), "Size");
    if (s.Width < 1 || s.Height < 1 || s.Width > gLimits.MaxPageSide || s.Height > gLimits.MaxPageSide)
        throw EDamaged("Size");
    s.Orientation = RequireByte(ChildText(set, "Orientation"), "Orientation");
    s.BKType = RequireByte(ChildText(set, "BKType"), "BKType");
    if (s.BKType == 1) s.BKColor = RequireInt(ChildText(set, "BKColor"), "BKColor");
    if (s.BKType == 2) {
        const std::string name = TrimSpaces(ChildText(set, "BKImageFile"));
        const std::string file = folder + "/UserImage/" + NativePath(name);
        if (!IsConfinedName(name)) throw EDamaged("BKImageFile: " + name);
        if (!FileExists(file)) throw EDamaged(MissingFileReason(file), file);
        s.BKImageFile = file;
        s.BKImageFillType = RequireByte(ChildText(set, "BKImageFillType"), "BKImageFillType");
    }
    return s;
}

// The reason an XML file could not be read: the file system's, or the
// parser's with the place.
std::string XmlProblem(const std::string& path, const pugi::xml_parse_result& parsed) {
    const std::string missing = MissingFileReason(path);
    if (!missing.empty()) return path + ": " + missing;
    if (parsed.status == pugi::status_io_error) return path + ": " + ErrnoText();
    return path + ": " + parsed.description() + " at byte " + std::to_string(parsed.offset);
}

TOpenFailure ReadProject(const std::string& path, TProjectDesc& desc) {
    constexpr unsigned kParse = pugi::parse_default | pugi::parse_ws_pcdata_single;
    std::string folderName;
    {
        pugi::xml_document clv;
        errno = 0;
        const pugi::xml_parse_result parsed =
            FileExists(path) ? clv.load_file(path.c_str(), kParse) : pugi::xml_parse_result();
        if (!parsed) {
            desc.Problem = XmlProblem(path, parsed);
            return TOpenFailure::ProjectFile;
        }
        const pugi::xml_node root = clv.document_element();
        if (!root) {
            desc.Problem = path + ": no document element";
            return TOpenFailure::ProjectFile;
        }
        folderName = TrimSpaces(ChildText(root, "Folder"));
    }
    // the folder lies beside the project file; any other name is not one
    if (!IsPlainFolderName(folderName)) {
        desc.Problem = path + ": no project folder named (Folder: \"" + folderName + "\")";
        return TOpenFailure::NoDescription;
    }
    const std::string dir = ExtractFileDir(path);
    desc.Folder = (dir.empty() ? "." : dir) + "/" + folderName;
    const std::string info = desc.Folder + "/Info.cfg";
    if (!FileExists(info)) {
        desc.Problem = info + ": " + MissingFileReason(info);
        return TOpenFailure::NoDescription;
    }

    pugi::xml_document cfg;
    errno = 0;
    const pugi::xml_parse_result parsed = cfg.load_file(info.c_str(), kParse);
    if (!parsed) {
        desc.Problem = XmlProblem(info, parsed);
        return TOpenFailure::Description;
    }
    const pugi::xml_node root = cfg.document_element();
    if (!root) {
        desc.Problem = info + ": no document element";
        return TOpenFailure::Description;
    }
    try {
        desc.Settings = ReadSettings(root.child("Setting"), desc.Folder);
    } catch (const EDamaged& e) {
        desc.Problem = e.File.empty() ? info + ": Setting: " + e.what() : e.File + ": " + e.what();
        return TOpenFailure::Description;
    }
    for (int n = 1;; ++n) {
        const std::string name = "Layer" + std::to_string(n);
        const pugi::xml_node e = root.child(name.c_str());
        if (!HasElementChildren(e)) break;
        try {
            desc.Layers.push_back(ReadLayer(e));
        } catch (const EDamaged& damage) {
            desc.Damaged = true;
            desc.Problem = info + ": " + name + ": " + damage.what();
            break;
        }
    }
    return TOpenFailure::None;
}

// ---- Building the layers ----

// The picture file of a content layer, "" when it has none (placeholders) or
// when its name reaches outside its folder (then it counts as missing).
std::string PictureFileOf(const TLayerDesc& d, const std::string& folder) {
    std::string base;
    switch (d.ImageType) {
    case itPhoto:
    case itText:
        base = folder + "/UserImage/";
        break;
    case itClipart:
        base = ResourceRoot() + "Cliparts/";
        break;
    case itUserClipart:
        base = folder + "/Clipart/Customize/";
        break;
    default:
        return "";
    }
    if (!IsConfinedName(d.Photo)) return "";
    return base + NativePath(d.Photo);
}

void DropLayer(TCollageDocument& doc, TNewRotLayer*& layer) {
    const int index = doc.Layers().IndexOf(layer);
    if (index >= 0) doc.Layers().Delete(index);
    layer = nullptr;
}

// The white stand-in picture and the two hint lines of a photo placeholder.
void MakePlaceholder(TNewRotLayer& layer) {
    layer.ImageType = itPlaceholder;
    layer.SourceFile.clear();
    layer.Picture.SetSize(10, 10);
    layer.Picture.Clear(0xFFFFFFFF);
    layer.PlaceholderLine1 = Lang("Double Click or");
    layer.PlaceholderLine2 = Lang("Drag Photo Here.");
    layer.FlipH = layer.FlipV = false;
}

// Builds one content layer at the top of the collection. Missing pictures
// drop the layer quietly. A picture that cannot be decoded turns the layer
// into a placeholder at its place -- location, angle, mask, sub-frame,
// shadow and transparency kept -- so the user can put a photo there again;
// masks and sub-frames that cannot be decoded are left off. Each such
// failure adds "file: reason" to failures.
//
// decoded: the layer's picture already decoded on the decode pool (nullptr:
// it is read here).
void BuildContentLayer(TCollageDocument& doc, const TLayerDesc& d, const std::string& folder,
                       TNewRotLayer*& building, std::vector<std::string>& failures,
                       TDecodedPicture* decoded) {
    const bool known = d.ImageType == itPhoto || d.ImageType == itClipart || d.ImageType == itText ||
                       d.ImageType == itPlaceholder || d.ImageType == itUserClipart;
    if (!known) return; // a kind this program does not make
    TNewRotLayer* layer = doc.Layers().Add<TNewRotLayer>();
    building = layer;
    layer->AlphaHit = true;
    layer->ImageType = d.ImageType;
    const std::string file = PictureFileOf(d, folder);
    switch (d.ImageType) {
    case itPhoto:
        layer->SourceFile = file;
        break;
    case itPlaceholder:
        layer->SourceFile.clear();
        break;
    default:
        layer->SourceFile = d.Photo;
        break;
    }
    if (d.ImageType == itText) {
        layer->Text = d.Text;
        if (!d.FontName.empty()) {
            auto font = std::make_unique<TLayerFont>();
            font->Font.setFamily(QString::fromStdString(d.FontName));
            font->Font.setPixelSize(d.FontSize);
            if (d.FontStyle) ApplyFontStyle(font->Font, *d.FontStyle);
            if (d.FontColor) font->Color = ToColor32(*d.FontColor);
            layer->SetFont(std::move(font));
        }
        layer->AALevel = d.AALevel;
        if (d.TextStyle) layer->TextStyle = std::make_unique<TTextStyle>(*d.TextStyle);
    }

    if (d.ImageType == itPlaceholder) {
        MakePlaceholder(*layer);
    } else {
        if (file.empty() || !FileExists(file)) {
            DropLayer(doc, building);
            return;
        }
        bool loaded = false;
        std::string failure;
        try {
            if (!LoadableExtension(file)) throw EUserError(kPictureReadFailed, file, "unsupported file type");
            if (!decoded) {
                loaded = LoadPicture32(file, layer->Picture);
            } else if (decoded->Ok()) {
                TakeDecodedPicture(*decoded, layer->Picture);
                loaded = true;
            } else {
                failure = decoded->Error;
            }
        } catch (const EUserError& e) {
            failure = e.Detail();
        }
        if (!failure.empty()) {
            failures.push_back(failure);
            MakePlaceholder(*layer);
            layer->Text.clear();
            layer->SetFont(nullptr);
        }
        if (!loaded && layer->ImageType != itPlaceholder) { // gone since it was found
            DropLayer(doc, building);
            return;
        }
        if (loaded && d.FlipH) layer->SetFlipH(true);
        if (loaded && d.FlipV) layer->SetFlipV(true);
    }
    TBitmap32& pic = layer->Picture;
    pic.DrawMode = TDrawMode::Blend;
    layer->SetPictureCenter({float(pic.Width()) / 2, float(pic.Height()) / 2});
    pic.Resampler = TResamplerKind::Linear;
    layer->SetScaled(true);

    layer->SetAngle(d.Angle);
    layer->Locked = d.Locked;
    layer->SetLocation(FloatRect(d.Location));
    if (d.Trans) pic.MasterAlpha = *d.Trans;
    const std::string frame = TrimSpaces(d.SubFrame);
    try {
        if (!frame.empty() && IsConfinedName(frame) &&
            FileExists(ResourceRoot() + "Frames/" + NativePath(frame)))
            ApplySubFrameByName(*layer, d.SubFrame);
    } catch (const EUserError& e) {
        failures.push_back(e.Detail());
    }
    const std::string mask = TrimSpaces(d.Mask);
    try {
        if (!mask.empty() && IsConfinedName(mask) && FileExists(ResourceRoot() + "Masks/" + NativePath(mask)))
            ApplyMaskByName(*layer, mask);
    } catch (const EUserError& e) {
        failures.push_back(e.Detail());
    }
    if (layer->ImageType == itPlaceholder)
        layer->SetViewedRect({0, 0, pic.Width() - 1, pic.Height() - 1});
    else if (d.ViewedRect)
        layer->SetViewedRect(*d.ViewedRect);
    if (d.Shadow) {
        layer->SetShadowOffsetX(d.Shadow->OffsetX);
        layer->SetShadowOffsetY(d.Shadow->OffsetY);
        layer->SetShadowTransparent(d.Shadow->Transparent);
        layer->SetShadowSmooth(d.Shadow->Smooth);
        layer->SetShadowColor(d.Shadow->Color);
        layer->SetShadowEnabled(true);
    }
    layer->RebuildScreenCache();
    building = nullptr;
}

void BuildBorder(TCollageDocument& doc, const TLayerDesc& d, std::vector<std::string>& failures) {
    const std::string path = ResourceRoot() + "Frames/" + NativePath(d.Photo);
    // A missing or unreadable frame: the border keeps its name (a later save
    // still refers to it) but shows nothing.
    if (IsConfinedName(d.Photo) && FileExists(path)) {
        try {
            SetBorderByName(doc, d.Photo);
            return;
        } catch (const EUserError& e) {
            failures.push_back(e.Detail());
        }
    } else if (IsConfinedName(d.Photo)) {
        TBitmap32 none;
        LoadPicture32(path, none); // reports the missing picture
    } else {
        ShowError("Picture does not exists!\r" + d.Photo + ": not inside the Frames folder");
    }
    TNewRotLayer* border = doc.BorderLayer;
    if (!border) {
        border = doc.Layers().Add<TNewRotLayer>();
        doc.BorderLayer = border;
    }
    border->AssignPicture(nullptr);
    border->ImageType = itBorderFrame;
    border->SourceFile = d.Photo;
    border->Picture.DrawMode = TDrawMode::Blend;
    border->Picture.MasterAlpha = 255;
    const TBitmap32& canvas = doc.ImageScreen.Bitmap;
    border->SetLocation({0, 0, float(canvas.Width()), float(canvas.Height())});
    border->Picture.Resampler = TResamplerKind::Linear;
    border->SetScaled(true);
    border->AlphaHit = true;
    border->SetViewedRect({0, 0, 0, 0});
    border->RebuildScreenCache();
    KeepBorderOnTop(doc);
}

} // namespace

// ---- Loading ----

bool LoadProject(TCollageDocument& doc, const std::string& path, bool asTemplate) {
    TBusyScope busy;
    TProjectDesc desc;
    switch (ReadProject(path, desc)) {
    case TOpenFailure::None:
        break;
    case TOpenFailure::ProjectFile:
        ShowError(Lang("The project file is error") + ".\r" + desc.Problem);
        return false;
    case TOpenFailure::NoDescription:
        ShowError(Lang("The project file is error") + "!\r" + desc.Problem);
        return false;
    case TOpenFailure::Description:
        ShowError(Lang("The project file is error") + "\r" + desc.Problem);
        return false;
    }

    // The description is usable: the document is replaced from here on.
    doc.Layers().Clear();
    doc.BorderLayer = nullptr;
    doc.CollageSettings = desc.Settings;
    doc.ApplyCanvasSettings();
    // Everything that could not be read is told in one message: the damaged
    // description first, then every picture, mask or frame with its reason.
    std::vector<std::string> failures;
    if (desc.Damaged) failures.push_back(desc.Problem);
    // The layers' pictures are decoded on every core first; the layers are
    // then built here, bottom first, exactly as if each were read in turn.
    std::vector<std::string> files;
    std::vector<int> pictureOf(desc.Layers.size(), -1);
    for (size_t i = 0; i < desc.Layers.size(); ++i) {
        const TLayerDesc& d = desc.Layers[i];
        const bool picture = d.ImageType == itPhoto || d.ImageType == itClipart || d.ImageType == itText ||
                             d.ImageType == itUserClipart;
        if (d.Border || !picture) continue;
        const std::string file = PictureFileOf(d, desc.Folder);
        if (file.empty() || !FileExists(file) || !LoadableExtension(file)) continue;
        pictureOf[i] = int(files.size());
        files.push_back(file);
    }
    std::vector<TDecodedPicture> decoded = DecodePictures(files);
    {
        TUpdateScope<TImage32> update(doc.ImageScreen);
        TNewRotLayer* building = nullptr;
        try {
            for (size_t i = 0; i < desc.Layers.size(); ++i) {
                const TLayerDesc& d = desc.Layers[i];
                TDecodedPicture* picture = pictureOf[i] >= 0 ? &decoded[size_t(pictureOf[i])] : nullptr;
                if (d.Border)
                    BuildBorder(doc, d, failures);
                else
                    BuildContentLayer(doc, d, desc.Folder, building, failures, picture);
                if (picture) *picture = TDecodedPicture(); // its memory is the layer's now, or free
            }
        } catch (const std::exception& e) {
            // no memory for a layer, say: the layers before it stay
            if (building) DropLayer(doc, building);
            failures.push_back(FailureLine(e));
        }
        KeepBorderOnTop(doc);
    }
    const bool damaged = !failures.empty();
    if (damaged) {
        std::string message = Lang("The project file is error");
        for (const std::string& f : failures) message += "\r" + f;
        ShowError(message);
    }

    if (asTemplate || damaged) {
        doc.ProjectFile.clear();
        doc.CaptionTitle = TCaptionTitle::Untitled;
    } else {
        doc.ProjectFile = CollapseSeparators(path);
        doc.CaptionTitle = TCaptionTitle::Project;
    }
    doc.UndoHistory.Clear();
    doc.SetModified(false);
    return true;
}
