#include "pagerules/UploadList.h"

#include <algorithm>
#include <filesystem>

#include "document/Pagelette.h"
#include "document/Persistence.h"
#include "pagerules/PictureNames.h"
#include "pagerules/ProgramPaths.h"

namespace tessel {
namespace {

std::string UsedPicture(TPageItem& block, const std::string& programFolder) {
    switch (block.BlockType) {
        case btPageProperties:
            return PictureFilePath(programFolder + kBackgroundsFolder,
                                   block.PagePropertiesBlock().Background);
        case btImage:
            return PictureFilePath(programFolder + kImagesFolder, block.ImageBlock().FileName);
        default:
            return {};
    }
}

}  // namespace

std::vector<std::string> ListUploadFiles(TPagelette& document, const std::string& programFolder) {
    std::vector<std::string> paths;
    TPageCollection& page = document.Page();
    for (int i = 0; i < page.Count(); ++i) {
        const std::string path = UsedPicture(page.Items(i), programFolder);
        std::error_code error;
        if (!path.empty() && std::filesystem::is_regular_file(path, error))
            paths.push_back(path);
    }
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return UpperCase(a) < UpperCase(b);
    });
    paths.erase(
        std::unique(paths.begin(), paths.end(),
                    [](const std::string& a, const std::string& b) { return SameText(a, b); }),
        paths.end());
    return paths;
}

}  // namespace tessel
