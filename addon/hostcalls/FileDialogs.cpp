#include "hostcalls/FileDialogs.h"

#include "filekit/FKError.h"
#include "filekit/FKFileDialog.h"
#include "resources/AddonResources.h"

#include <cctype>
#include <filesystem>

namespace {

constexpr int16_t kTitleList = 32595;
constexpr int16_t kTypeNameList = 32597;
constexpr int16_t kExtensionList = 32598;
constexpr int16_t kAviExtensionItem = 3, kMovExtensionItem = 4, kMp4ExtensionItem = 10;
constexpr int32_t kProjectGroup = 1, kTextGroup = 2, kXmlGroup = 3, kXerGroup = 4, kP6XmlGroup = 5;
constexpr uint32_t kMovieDialogFlags = 11;

// A start path as the dialog takes it: a folder to show, or a folder and a proposed name.
void SetStart(FKFileDialogSpec& spec, const FKLocation& start) {
    if (!start.IsValid()) return;
    std::error_code ec;
    if (std::filesystem::is_directory(start.NativePath(), ec)) {
        spec.startFolder = start;
        return;
    }
    spec.startFolder = start.Parent();
    spec.startName = start.LastPart();
}

bool AskProjectFile(FileDialogRequest& request, FKFileDialogKind kind, const FKLocation& start) {
    if (!request.RegisterFileTypes()) return false;
    FKFileDialogSpec spec;
    spec.kind = kind;
    spec.title = request.title;
    spec.filters = {request.FileTypes()->FilterOf(kProjectGroup), request.FileTypes()->FilterOf(kTextGroup),
                    request.FileTypes()->FilterOf(kXmlGroup)};
    if (kind == FKFileDialogKind::Open) {
        spec.filters.push_back(request.FileTypes()->FilterOf(kXerGroup));
        spec.filters.push_back(request.FileTypes()->FilterOf(kP6XmlGroup));
    }
    // A kind the dialog does not offer preselects the project file, as the savers treat it.
    bool offered = request.startKind >= 0 && static_cast<size_t>(request.startKind) < spec.filters.size();
    spec.preselectedFilter = offered ? request.startKind : int16_t{ProjectFileKind};
    SetStart(spec, start);
    return FKRunFileDialog(spec, request.chosenLocation, request.chosenKind);
}

// The movie kind decides the extension: another kind's is replaced, any other is kept and the
// kind's added, so a QuickTime movie is never named "film.avi".
FKLocation WithMovieExtension(const FKLocation& chosen, std::string_view extension) {
    std::string name = chosen.LastPart();
    size_t dot = name.rfind('.');
    auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
        return true;
    };
    if (dot != std::string::npos) {
        std::string_view current = std::string_view(name).substr(dot + 1);
        if (same(current, extension)) return chosen;
        for (int16_t item : {kAviExtensionItem, kMovExtensionItem, kMp4ExtensionItem})
            if (same(current, AddonString(kExtensionList, item))) name.erase(dot);
    }
    return chosen.Parent().Append(name + "." + std::string(extension));
}

} // namespace

FileDialogRequest::FileDialogRequest(int16_t titleItem, std::string_view startPath_, int16_t startKind_)
    : title(AddonString(kTitleList, titleItem)),
      startPath(startPath_.substr(0, std::min(startPath_.size(), kMaxPath))),
      startKind(startKind_) {}

bool FileDialogRequest::RegisterFileTypes() {
    if (fileTypes_) return true;
    std::string projectName = AddonString(kTypeNameList, 1);
    std::string textName = AddonString(kTypeNameList, 2);
    std::string projectExtension = AddonString(kExtensionList, 1);
    std::string textExtension = AddonString(kExtensionList, 2);
    std::string xmlName = AddonString(kTypeNameList, 3);
    std::string xmlExtension = AddonString(kExtensionList, 5);
    std::string xerName = AddonString(kTypeNameList, 6);
    std::string xerExtension = AddonString(kExtensionList, 8);
    std::string p6XmlName = AddonString(kTypeNameList, 7);
    if (projectName.empty() || textName.empty() || projectExtension.empty() || textExtension.empty() ||
        xmlName.empty() || xmlExtension.empty() || xerName.empty() || xerExtension.empty() || p6XmlName.empty())
        return false;

    auto registry = std::make_unique<FKFileTypeRegistry>("BVFTM");
    if (registry->AddGroup(FKFileTypeRegistry::kRootGroup, kProjectGroup, projectName) != kFKNoErr ||
        registry->AddGroup(FKFileTypeRegistry::kRootGroup, kTextGroup, "BVFile2") != kFKNoErr ||
        registry->AddType(kProjectGroup, {projectName, projectExtension, "VTQV", "BIN "}) != kFKNoErr ||
        registry->AddType(kTextGroup, {textName, textExtension, "VTQV", "TEXT"}) != kFKNoErr ||
        registry->AddGroup(FKFileTypeRegistry::kRootGroup, kXmlGroup, "BVFile3") != kFKNoErr ||
        registry->AddType(kXmlGroup, {xmlName, xmlExtension, "VTQV", "TEXT"}) != kFKNoErr ||
        registry->AddGroup(FKFileTypeRegistry::kRootGroup, kXerGroup, "BVFile4") != kFKNoErr ||
        registry->AddType(kXerGroup, {xerName, xerExtension, "VTQV", "TEXT"}) != kFKNoErr ||
        registry->AddGroup(FKFileTypeRegistry::kRootGroup, kP6XmlGroup, "BVFile5") != kFKNoErr ||
        registry->AddType(kP6XmlGroup, {p6XmlName, xmlExtension, "VTQV", "TEXT"}) != kFKNoErr)
        return false;
    fileTypes_ = std::move(registry);
    return true;
}

bool AskOpenFile(FileDialogRequest& request) {
    return AskProjectFile(request, FKFileDialogKind::Open, FKLocation::FromPath8(request.startPath));
}

bool AskSaveFile(FileDialogRequest& request) {
    return AskProjectFile(request, FKFileDialogKind::Save, FKLocation::FromPath8(request.startPath));
}

std::string ChosenPath(const FileDialogRequest& request) {
    std::string path;
    if (!request.chosenLocation.GetPath8(path) || path.size() > FileDialogRequest::kMaxPath) return {};
    return path;
}

bool AskMovieFile(FileDialogRequest& request, FKLocation* location, std::string_view extension) {
    if (location == nullptr) return false;
    FKFileDialogSpec spec;
    spec.kind = FKFileDialogKind::Movie;
    spec.filters = {{request.title, {std::string(extension)}}};
    spec.flags = kMovieDialogFlags;
    SetStart(spec, *location);
    FKLocation chosen;
    int32_t filter = 0;
    if (!FKRunFileDialog(spec, chosen, filter)) return false;
    *location = WithMovieExtension(chosen, extension);
    return true;
}

std::string AskLinkFile(FKFileDialogKind kind, int16_t titleItem, int16_t typeItem, int16_t extensionItem,
                        std::string_view startPath) {
    FKFileDialogSpec spec;
    spec.kind = kind;
    spec.title = AddonString(kTitleList, titleItem);
    spec.filters = {{AddonString(kTypeNameList, typeItem), {AddonString(kExtensionList, extensionItem)}}};
    if (!startPath.empty()) SetStart(spec, FKLocation::FromPath8(std::string(startPath)));
    FKLocation chosen;
    int32_t filter = 0;
    if (!FKRunFileDialog(spec, chosen, filter)) return {};
    std::string path;
    if (!chosen.GetPath8(path) || path.size() > FileDialogRequest::kMaxPath) return {};
    return path;
}
