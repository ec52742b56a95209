#include "platform/FileTypeRegistration.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "document/Exceptions.h"
#include "platform/AtomicFile.h"

namespace tessel {

namespace {

bool FileHolds(const std::string& path, const std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream existing;
    existing << in.rdbuf();
    return existing.str() == content;
}

// A path as a desktop entry's string value.
std::string EntryValue(const std::string& text) {
    std::string value;
    for (const char c : text) {
        if (c == '\\') {
            value += "\\\\";
        } else if (c == '\n') {
            value += "\\n";
        } else if (c == '\t') {
            value += "\\t";
        } else if (c == '\r') {
            value += "\\r";
        } else {
            value += c;
        }
    }
    return value;
}

}  // namespace

std::string MimePackageXml() {
    std::ostringstream xml;
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        << "  <mime-type type=\"" << kPageMimeType << "\">\n"
        << "    <comment>Brindle HTML Tessel File</comment>\n"
        << "    <icon name=\"" << kProgramIconName << "\"/>\n"
        << "    <glob pattern=\"*.pgx\"/>\n"
        << "  </mime-type>\n"
        << "  <mime-type type=\"" << kTemplateMimeType << "\">\n"
        << "    <comment>Brindle HTML Tessel Template</comment>\n"
        << "    <icon name=\"" << kTemplateIconName << "\"/>\n"
        << "    <glob pattern=\"*.pgt\"/>\n"
        << "  </mime-type>\n"
        << "</mime-info>\n";
    return xml.str();
}

std::string QuotedExecArgument(const std::string& programPath) {
    // Inside the quotes of an Exec argument these four take a backslash; "%" is doubled as
    // a field code would otherwise start there. Then the value itself escapes backslashes.
    std::string quoted = "\"";
    for (const char c : programPath) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += "\\\\";  // the argument's backslash, escaped once more for the value
            quoted += c == '\\' ? "\\\\" : std::string(1, c);
        } else if (c == '%') {
            quoted += "%%";
        } else if (c == '\n') {
            quoted += "\\n";
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string DesktopEntry(const std::string& programPath) {
    // TryExec hides the entry once the program is gone, e.g. after its package was removed.
    std::ostringstream entry;
    entry << "[Desktop Entry]\n"
          << "Type=Application\n"
          << "Name=Brindle HTML Tessel\n"
          << "GenericName=Web Page Builder\n"
          << "Comment=Build your web page piece by piece\n"
          << "Exec=" << QuotedExecArgument(programPath) << " %f\n"
          << "TryExec=" << EntryValue(programPath) << "\n"
          << "Icon=" << kProgramIconName << "\n"
          << "MimeType=" << kPageMimeType << ";" << kTemplateMimeType << ";\n"
          << "Terminal=false\n"
          << "Categories=Development;WebDevelopment;\n"
          << "Keywords=web;page;html;homepage;ftp;publish;\n"
          << "StartupNotify=true\n"
          << "StartupWMClass=tessel\n";
    return entry.str();
}

TFileTypeFiles FileTypeFilesIn(const std::string& dataHome) {
    const std::string icons = dataHome + "icons/hicolor/scalable/apps/";
    return {dataHome + "mime/packages/brindle-tessel.xml",
            dataHome + "applications/" + kDesktopFileId + ".desktop",
            icons + kProgramIconName + ".svg", icons + kTemplateIconName + ".svg"};
}

bool WriteFileIfChanged(const std::string& path, const std::string& content) {
    if (FileHolds(path, content)) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) {
        throw ETesselError("Cannot create file " + path + ". " + error.message());
    }
    WriteFileAtomically(path, content);
    return true;
}

TRegistrationChanges WriteFileTypeRegistration(const std::string& dataHome,
                                               const std::string& programPath,
                                               const std::string& programIconSvg,
                                               const std::string& templateIconSvg) {
    const TFileTypeFiles files = FileTypeFilesIn(dataHome);
    TRegistrationChanges changes;
    changes.mimePackage = WriteFileIfChanged(files.mimePackage, MimePackageXml());
    changes.desktopEntry = WriteFileIfChanged(files.desktopEntry, DesktopEntry(programPath));
    if (!programIconSvg.empty()) {
        changes.icons |= WriteFileIfChanged(files.programIcon, programIconSvg);
    }
    if (!templateIconSvg.empty()) {
        changes.icons |= WriteFileIfChanged(files.templateIcon, templateIconSvg);
    }
    return changes;
}

}  // namespace tessel
