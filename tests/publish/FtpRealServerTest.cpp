// Uploads and downloads against real FTP servers from Debian, in active and passive
// mode, with every server copy checked byte for byte.

#include <gtest/gtest.h>

#include "NetTestSupport.h"
#include "publish/FtpCli.h"

namespace tessel::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::size_t> kSizes = {0, 1, 1514, 1515, 3 * 1024 * 1024 + 5};

struct TServerMode {
    std::string name;
    bool vsftpd;
    bool passive;
};

void PrintTo(const TServerMode& m, std::ostream* os) {
    *os << m.name;
}

class FtpRealServerTest : public ::testing::TestWithParam<TServerMode> {};

TEST_P(FtpRealServerTest, UploadsEverySizeIntact) {
    const TServerMode& m = GetParam();
    TTempDir local;
    TTempDir serverDir;
    std::unique_ptr<TPyFtpServer> py;
    std::unique_ptr<TVsftpdServer> vs;
    fs::path uploadDir;
    TFtpClient client;
    client.HostName = "127.0.0.1";
    client.Timeout = 10;
    client.Passive = m.passive;
    if (m.vsftpd) {
        vs = std::make_unique<TVsftpdServer>(serverDir.Path());
        if (vs->Port() == 0) {
            GTEST_SKIP() << "vsftpd cannot run here: " << vs->Problem();
        }
        client.Port = std::to_string(vs->Port());
        client.UserName = "anonymous";
        client.PassWord = "tests@example.com";
        client.HostDirName = "pub";
        uploadDir = vs->UploadDir();
    } else {
        py = std::make_unique<TPyFtpServer>(serverDir.Path(), "anna", "s3cret");
        ASSERT_NE(py->Port(), 0) << "pyftpdlib did not start";
        client.Port = std::to_string(py->Port());
        client.UserName = "anna";
        client.PassWord = "s3cret";
        uploadDir = serverDir.Path();
    }
    std::string log;
    client.OnDisplay = [&](TCustomFtpCli*, std::string& msg) { log += msg + "\n"; };
    ASSERT_TRUE(client.Connect()) << client.ErrorMessage();
    if (!client.HostDirName.empty()) {
        ASSERT_TRUE(client.Cwd()) << client.ErrorMessage();
    }
    ASSERT_TRUE(client.TypeSet()) << client.ErrorMessage();
    long lastProgress = -1;
    client.OnProgress = [&](TCustomFtpCli*, long count, bool&) { lastProgress = count; };
    for (std::size_t size : kSizes) {
        const std::string name = "file" + std::to_string(size) + ".bin";
        const std::string bytes = MakeBytes(size, static_cast<unsigned>(size));
        WriteFile(local.Path() / name, bytes);
        client.LocalFileName = (local.Path() / name).string();
        client.HostFileName = name;
        ASSERT_TRUE(client.Put()) << name << ": " << client.ErrorMessage();
        EXPECT_EQ(lastProgress, static_cast<long>(size));
        EXPECT_TRUE(ReadFile(uploadDir / name) == bytes) << name;
    }
    EXPECT_TRUE(client.Quit()) << client.ErrorMessage() << "\n" << log;
    EXPECT_FALSE(client.Connected());
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpRealServerTest,
                         ::testing::Values(TServerMode{"PyftpdlibActive", false, false},
                                           TServerMode{"PyftpdlibPassive", false, true},
                                           TServerMode{"VsftpdActive", true, false},
                                           TServerMode{"VsftpdPassive", true, true}),
                         [](const auto& info) { return info.param.name; });

class FtpPyftpdlibTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FServer = std::make_unique<TPyFtpServer>(FServerDir.Path(), "anna", "s3cret");
        ASSERT_NE(FServer->Port(), 0) << "pyftpdlib did not start";
        FClient.HostName = "127.0.0.1";
        FClient.Port = std::to_string(FServer->Port());
        FClient.UserName = "anna";
        FClient.PassWord = "s3cret";
        FClient.Timeout = 10;
    }

    TTempDir FLocal;
    TTempDir FServerDir;
    std::unique_ptr<TPyFtpServer> FServer;
    TFtpClient FClient;
};

TEST_F(FtpPyftpdlibTest, WrongPasswordFailsWithTheServersReply) {
    FClient.PassWord = "wrong";
    EXPECT_FALSE(FClient.Connect());
    EXPECT_EQ(FClient.ErrorMessage().substr(0, 3), "530");
}

TEST_F(FtpPyftpdlibTest, DownloadsListsAndResumes) {
    const std::string bytes = MakeBytes(100000, 9);
    WriteFile(FServerDir.Path() / "remote.bin", bytes);
    ASSERT_TRUE(FClient.Connect()) << FClient.ErrorMessage();
    ASSERT_TRUE(FClient.TypeSet());
    for (bool passive : {false, true}) {
        FClient.Passive = passive;
        FClient.HostFileName = "remote.bin";
        FClient.LocalFileName = (FLocal.Path() / "copy.bin").string();
        ASSERT_TRUE(FClient.Get()) << FClient.ErrorMessage();
        EXPECT_TRUE(ReadFile(FLocal.Path() / "copy.bin") == bytes);

        ASSERT_TRUE(FClient.Size());
        EXPECT_EQ(FClient.SizeResult(), 100000);

        std::vector<std::string> lines;
        FClient.DisplayFileFlag = true;
        FClient.OnDisplayFile = [&](TCustomFtpCli*, std::string& line) { lines.push_back(line); };
        FClient.HostFileName.clear();
        ASSERT_TRUE(FClient.Synchronize(&TCustomFtpCli::LsAsync)) << FClient.ErrorMessage();
        FClient.DisplayFileFlag = false;
        EXPECT_NE(std::find(lines.begin(), lines.end(), "remote.bin"), lines.end());
    }
    // Resume: keep the first 30000 bytes, fetch the rest from there.
    WriteFile(FLocal.Path() / "part.bin", bytes.substr(0, 30000));
    FClient.HostFileName = "remote.bin";
    FClient.LocalFileName = (FLocal.Path() / "part.bin").string();
    ASSERT_TRUE(FClient.Synchronize(&TCustomFtpCli::RestartGetAsync)) << FClient.ErrorMessage();
    EXPECT_TRUE(ReadFile(FLocal.Path() / "part.bin") == bytes);
    EXPECT_TRUE(FClient.Quit());
}

TEST_F(FtpPyftpdlibTest, DirectoryRequestsAndCompoundTransmit) {
    ASSERT_TRUE(FClient.Connect());
    FClient.HostFileName = "made";
    ASSERT_TRUE(FClient.Mkd()) << FClient.ErrorMessage();
    EXPECT_EQ(FClient.DirResult(), "/made");
    FClient.HostDirName = "made";
    ASSERT_TRUE(FClient.Cwd());
    ASSERT_TRUE(FClient.Pwd());
    EXPECT_EQ(FClient.DirResult(), "/made");
    EXPECT_TRUE(FClient.Quit());

    WriteFile(FLocal.Path() / "t.txt", "transmitted");
    FClient.LocalFileName = (FLocal.Path() / "t.txt").string();
    FClient.HostFileName = "t.txt";
    ASSERT_TRUE(FClient.Synchronize(&TCustomFtpCli::TransmitAsync)) << FClient.ErrorMessage();
    EXPECT_EQ(ReadFile(FServerDir.Path() / "made" / "t.txt"), "transmitted");
    EXPECT_FALSE(FClient.Connected());
}

TEST_F(FtpPyftpdlibTest, ProgressAbortFailsTheUpload) {
    WriteFile(FLocal.Path() / "big.bin", MakeBytes(500000, 1));
    ASSERT_TRUE(FClient.Connect());
    FClient.LocalFileName = (FLocal.Path() / "big.bin").string();
    FClient.HostFileName = "big.bin";
    FClient.OnProgress = [](TCustomFtpCli*, long count, bool& abort) { abort = count > 20000; };
    EXPECT_FALSE(FClient.Put());
    EXPECT_NE(FClient.ErrorMessage().find("426"), std::string::npos) << FClient.ErrorMessage();
    FClient.OnProgress = nullptr;
    EXPECT_TRUE(FClient.Quit());
}

TEST_F(FtpPyftpdlibTest, LocalFileThatCannotBeOpened) {
    ASSERT_TRUE(FClient.Connect());
    FClient.LocalFileName = (FLocal.Path() / "missing.bin").string();
    FClient.HostFileName = "missing.bin";
    EXPECT_FALSE(FClient.Put());
    EXPECT_EQ(FClient.ErrorMessage(), "426 Unable to open local file " + FClient.LocalFileName);
    EXPECT_TRUE(FClient.Quit());
}

}  // namespace
}  // namespace tessel::test
