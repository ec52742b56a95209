#include "platform/FileTypeRegistration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "document/Exceptions.h"
#include "platform/AtomicFile.h"
#include "support/TempFolder.h"

namespace tessel {
namespace {

ino_t InodeOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

TEST(FileTypeRegistration, MapsBothFileTypesToTheProgram) {
    const std::string xml = MimePackageXml();
    EXPECT_NE(xml.find("<glob pattern=\"*.pgx\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<glob pattern=\"*.pgt\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<comment>Brindle HTML Tessel File</comment>"), std::string::npos);
    EXPECT_NE(xml.find("<comment>Brindle HTML Tessel Template</comment>"), std::string::npos);
    const std::string entry = DesktopEntry("/opt/tessel/bin/tessel");
    EXPECT_NE(entry.find("\nExec=\"/opt/tessel/bin/tessel\" %f\n"), std::string::npos);
    EXPECT_NE(entry.find("MimeType=application/x-brindle-tessel-page;"
                         "application/x-brindle-tessel-template;"),
              std::string::npos);
}

// The installed MIME package and desktop entry say what the program registers at start;
// only the installed entry's Exec differs, as it finds the program on the PATH.
TEST(FileTypeRegistration, TheInstalledFilesAgreeWithTheRegistration) {
    const std::string dist = TESSEL_SOURCE_DIST;
    EXPECT_EQ(ReadWholeFile(dist + "/brindle-tessel.xml"), MimePackageXml());

    const std::string path = "/usr/bin/tessel";
    std::string expected = DesktopEntry(path);
    const std::string exec = "Exec=" + QuotedExecArgument(path) + " %f";
    expected.replace(expected.find(exec), exec.size(), "Exec=tessel %f");
    const std::string tryExec = "TryExec=" + path;
    expected.replace(expected.find(tryExec), tryExec.size(), "TryExec=tessel");
    EXPECT_EQ(ReadWholeFile(dist + "/" + kDesktopFileId + ".desktop"), expected);
    EXPECT_EQ(FileTypeFilesIn("/d/").desktopEntry,
              std::string("/d/applications/") + kDesktopFileId + ".desktop");
}

TEST(FileTypeRegistration, ProgramPathsWithAwkwardCharactersStayOneArgument) {
    EXPECT_EQ(QuotedExecArgument("/home/a b/tessel"), "\"/home/a b/tessel\"");
    EXPECT_EQ(QuotedExecArgument("/x/100%/t"), "\"/x/100%%/t\"");
    EXPECT_EQ(QuotedExecArgument("/x/$HOME/t"), "\"/x/\\\\$HOME/t\"");
    EXPECT_EQ(QuotedExecArgument("/x/a\"b\\c"), "\"/x/a\\\\\"b\\\\\\\\c\"");
    // The entry goes away with the program; its path is a plain value there.
    const std::string entry = DesktopEntry("/x/a b\\c/tessel");
    EXPECT_NE(entry.find("\nTryExec=/x/a b\\\\c/tessel\n"), std::string::npos);
}

TEST(FileTypeRegistration, RewritesOnlyWhatChanged) {
    testing::TTempFolder folder;
    const std::string data = folder.Path();
    const TFileTypeFiles files = FileTypeFilesIn(data);

    TRegistrationChanges changes = WriteFileTypeRegistration(data, "/a/tessel", "<svg/>", "");
    EXPECT_TRUE(changes.mimePackage && changes.desktopEntry && changes.icons);
    EXPECT_EQ(ReadWholeFile(files.programIcon), "<svg/>");
    EXPECT_FALSE(std::filesystem::exists(files.templateIcon));
    const ino_t mime = InodeOf(files.mimePackage);
    const ino_t desktop = InodeOf(files.desktopEntry);

    changes = WriteFileTypeRegistration(data, "/a/tessel", "<svg/>", "");
    EXPECT_FALSE(changes.mimePackage || changes.desktopEntry || changes.icons);
    EXPECT_EQ(InodeOf(files.mimePackage), mime);
    EXPECT_EQ(InodeOf(files.desktopEntry), desktop);

    // The program moved: only the entry that names it changes.
    changes = WriteFileTypeRegistration(data, "/b/tessel", "<svg/>", "");
    EXPECT_FALSE(changes.mimePackage);
    EXPECT_TRUE(changes.desktopEntry);
    EXPECT_EQ(InodeOf(files.mimePackage), mime);
    EXPECT_NE(ReadWholeFile(files.desktopEntry).find("Exec=\"/b/tessel\""), std::string::npos);

    // A damaged file is repaired.
    folder.Write("mime/packages/brindle-tessel.xml", "damaged");
    EXPECT_TRUE(WriteFileTypeRegistration(data, "/b/tessel", "", "").mimePackage);
    EXPECT_EQ(ReadWholeFile(files.mimePackage), MimePackageXml());
}

TEST(FileTypeRegistration, AnUnwritableFolderIsReported) {
    testing::TTempFolder folder;
    folder.Write("mime", "a file where the folder should be");
    EXPECT_THROW(WriteFileTypeRegistration(folder.Path(), "/a/tessel", "", ""), ETesselError);
}

}  // namespace
}  // namespace tessel
