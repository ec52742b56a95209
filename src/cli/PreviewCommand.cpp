#include "cli/PreviewCommand.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QScrollBar>
#include <QTextDocument>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "cli/CliCommands.h"
#include "document/Exceptions.h"
#include "document/Pagelette.h"
#include "document/Stream.h"
#include "html/PageHtml.h"
#include "platform/AtomicFile.h"
#include "platform/gui/HtmlShownText.h"
#include "platform/gui/HtmlView.h"

namespace tessel {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadArguments = 2;
constexpr int kDefaultWidth = 800;
constexpr int kNarrowest = 100;
constexpr int kWidest = 8000;
// A picture of a longer page shows its top; PNG readers choke on taller ones.
constexpr int kTallest = 30000;

struct TPreviewArguments {
    std::string file;
    std::optional<std::string> output;
    bool text = false;
    int width = kDefaultWidth;
    bool banner = false;
    std::string home;
};

std::optional<std::string> ParsePreviewArguments(const std::vector<std::string>& args,
                                                 TPreviewArguments& parsed) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "-o" || arg == "--output") {
            if (!hasValue)
                return arg + " needs a file name";
            parsed.output = args[++i];
        } else if (arg == "--width") {
            char* end = nullptr;
            const long width = hasValue ? std::strtol(args[i + 1].c_str(), &end, 10) : 0;
            if (!hasValue || *end != '\0' || width < kNarrowest || width > kWidest)
                return "--width needs a number of pixels from " + std::to_string(kNarrowest) +
                       " to " + std::to_string(kWidest);
            parsed.width = static_cast<int>(width);
            ++i;
        } else if (arg == "--text") {
            parsed.text = true;
        } else if (arg == "--banner") {
            parsed.banner = true;
        } else if (arg == "--home") {
            if (!hasValue)
                return "--home needs a folder";
            parsed.home = args[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option '" + arg + "'";
        } else if (parsed.file.empty()) {
            parsed.file = arg;
        } else {
            return "more than one file given";
        }
    }
    if (parsed.file.empty())
        return "preview needs a document or an HTML file";
    if (!parsed.output && !parsed.text)
        return "preview needs -o OUT.png or --text";
    return std::nullopt;
}

bool IsHtmlFile(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".html" || extension == ".htm";
}

// The page and the folder its pictures are found from: an HTML file as the template browser
// shows it, beside its own folder; a document as View Page shows it.
struct TPreviewPage {
    std::string html;
    std::string root;
};

TPreviewPage ReadPreviewPage(const TPreviewArguments& parsed) {
    if (IsHtmlFile(parsed.file)) {
        const std::filesystem::path folder = std::filesystem::absolute(parsed.file).parent_path();
        return {ReadWholeFile(parsed.file), folder.string()};
    }
    const std::unique_ptr<TPagelette> document = ReadDocumentFile(parsed.file);
    TGenerateOptions options;
    options.mode = omPreview;
    options.programFolder = CliProgramFolder(parsed.home);
    options.banner = parsed.banner;
    std::vector<std::string> lines;
    GeneratePage(*document, lines, options);
    return {PageText(lines), options.programFolder + "Upload"};
}

QImage DrawPage(THtmlView& view, int width) {
    view.resize(width, 600);
    QCoreApplication::processEvents();
    const qreal height = view.document()->size().height();
    view.resize(width, std::clamp(static_cast<int>(std::ceil(height)), 1, kTallest));
    QCoreApplication::processEvents();
    QImage picture(view.viewport()->size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    view.viewport()->render(&picture);
    return picture;
}

}  // namespace

int RunPreviewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    TPreviewArguments parsed;
    if (std::optional<std::string> problem = ParsePreviewArguments(args, parsed)) {
        err << "tessel-cli: " << *problem << "\n(see 'tessel-cli --help')\n";
        return kBadArguments;
    }
    TPreviewPage page;
    try {
        page = ReadPreviewPage(parsed);
    } catch (const EStreamError& error) {
        err << kNotADocument << "\n" << error.what() << "\n";
        return kFailed;
    } catch (const ETesselError& error) {
        err << "tessel-cli: " << error.what() << "\n";
        return kFailed;
    }
    // The viewer needs a window system, but no screen: without a display it draws offscreen.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "tessel-cli";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    THtmlView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.setFrameShape(QFrame::NoFrame);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.SetServerRoot(QString::fromStdString(page.root));
    view.show();
    view.LoadText(page.html);
    const QImage picture = DrawPage(view, parsed.width);
    if (parsed.text)
        out << HtmlShownText(view).toStdString();
    if (!parsed.output)
        return out ? kDone : kFailed;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) {
        err << "tessel-cli: the picture could not be made\n";
        return kFailed;
    }
    try {
        WriteFileAtomically(*parsed.output, std::string_view(png.constData(), png.size()));
    } catch (const ETesselError& error) {
        err << "tessel-cli: " << error.what() << "\n";
        return kFailed;
    }
    return kDone;
}

}  // namespace tessel
