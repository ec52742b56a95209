// The arguments of tessel-cli upload and how a server profile fills them in.

#include <gtest/gtest.h>

#include "cli/UploadOptions.h"
#include "publish/core/Profiles.h"

namespace tessel::test {
namespace {

TServerProfile Home() {
    TServerProfile p;
    p.name = "Home";
    p.user = "anna";
    p.password = "s3cret";
    p.host = "127.0.0.2";
    p.initialDir = "www";
    p.port = "2121";
    p.passive = true;
    return p;
}

TUploadOptions Parsed(const std::vector<std::string>& args) {
    TUploadOptions o;
    const auto problem = ParseUploadOptions(args, o);
    EXPECT_FALSE(problem) << *problem;
    return o;
}

std::string ParseError(const std::vector<std::string>& args) {
    TUploadOptions o;
    return ParseUploadOptions(args, o).value_or("");
}

TEST(UploadOptionsTest, AProfileFillsEverythingNotGiven) {
    TUploadOptions o = Parsed({"--profile", "Home", "index.html"});
    EXPECT_TRUE(CheckUploadOptions(o).has_value());  // nothing to connect to yet
    FillFromProfile(o, Home());
    EXPECT_FALSE(CheckUploadOptions(o));
    EXPECT_EQ(o.host, "127.0.0.2");
    EXPECT_EQ(o.port, "2121");
    EXPECT_EQ(o.user, "anna");
    EXPECT_EQ(o.password, "s3cret");
    EXPECT_EQ(o.dir, "www");
    EXPECT_EQ(o.passive, true);
    EXPECT_EQ(o.files, std::vector<std::string>{"index.html"});
}

TEST(UploadOptionsTest, ExplicitOptionsWinOverTheProfile) {
    TUploadOptions o = Parsed({"--profile", "Home", "--host", "127.0.0.3", "--port", "21", "--user",
                               "bert", "--password-env", "PW", "--dir", "", "--active", "f"});
    FillFromProfile(o, Home());
    EXPECT_EQ(o.host, "127.0.0.3");
    EXPECT_EQ(o.port, "21");
    EXPECT_EQ(o.user, "bert");
    EXPECT_EQ(o.dir, "");  // an empty --dir means the log-in directory, not the profile's
    EXPECT_EQ(o.passive, false);
    EXPECT_FALSE(o.password);  // the password comes from the environment variable
    EXPECT_EQ(o.passwordEnv, "PW");
    EXPECT_FALSE(CheckUploadOptions(o));
}

TEST(UploadOptionsTest, AProfileWithoutHostUserOrPortIsReported) {
    TServerProfile empty;
    empty.name = "Empty";
    TUploadOptions o = Parsed({"--profile", "Empty", "f"});
    FillFromProfile(o, empty);
    EXPECT_EQ(CheckUploadOptions(o).value_or(""), "--host is required (the profile has none)");
    o.host = "127.0.0.2";
    EXPECT_EQ(CheckUploadOptions(o).value_or(""), "--user is required (the profile has none)");
    o.user = "anna";
    EXPECT_FALSE(CheckUploadOptions(o));  // an empty stored password is a password
    o.port = "";
    EXPECT_EQ(CheckUploadOptions(o).value_or(""), "the port is empty");
    o.port = "ftp";
    EXPECT_FALSE(CheckUploadOptions(o));
}

TEST(UploadOptionsTest, UsageErrorsWithoutAProfile) {
    EXPECT_EQ(ParseError({"--profile"}), "--profile needs a value");
    EXPECT_EQ(ParseError({"--profile", "", "f"}), "--profile needs a profile name");
    EXPECT_EQ(ParseError({"--passive", "--active"}), "give only one of --passive and --active");
    EXPECT_EQ(ParseError({"--password-env", "A", "--password-file", "B"}),
              "give only one of --password-file and --password-env");
    EXPECT_EQ(ParseError({"--timeout", "0"}), "--timeout needs a whole number of seconds above 0");
    EXPECT_EQ(ParseError({"--bogus"}), "unknown option --bogus");

    TUploadOptions o = Parsed({"--host", "h", "--user", "u", "f"});
    EXPECT_EQ(CheckUploadOptions(o).value_or(""),
              "give one of --password-file and --password-env, or --profile");
    o = Parsed({"--host", "h", "--user", "u", "--password-env", "X"});
    EXPECT_EQ(CheckUploadOptions(o).value_or(""), "no file to upload");
    o = Parsed({"--host", "h", "--user", "u", "--password-env", "X", "--passive", "f"});
    EXPECT_FALSE(CheckUploadOptions(o));
    EXPECT_EQ(o.port, std::nullopt);
    EXPECT_EQ(o.passive, true);
}

TEST(UploadOptionsTest, EncryptionFromTheOptionsOrTheProfile) {
    const std::string fp(64, 'a');
    const std::string canonical =
        "AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:AA:"
        "AA:AA";
    EXPECT_FALSE(Parsed({"f"}).tls);
    EXPECT_TRUE(*Parsed({"--tls", "f"}).tls);
    const TUploadOptions pinned = Parsed({"--trust-sha256", fp, "--ca-file", "ca.pem", "f"});
    EXPECT_TRUE(*pinned.tls);  // trusting a certificate only makes sense with TLS
    EXPECT_EQ(pinned.trustSha256, canonical);
    EXPECT_EQ(pinned.caFile, "ca.pem");
    EXPECT_NE(ParseError({"--trust-sha256", "abc", "f"}).find("64 hexadecimal digits"),
              std::string::npos);
    EXPECT_EQ(ParseError({"--ca-file"}), "--ca-file needs a value");

    TServerProfile secure = Home();
    secure.tls = true;
    secure.tlsFingerprint = canonical;
    TUploadOptions fromProfile = Parsed({"--profile", "Home", "f"});
    FillFromProfile(fromProfile, secure);
    EXPECT_TRUE(*fromProfile.tls);
    EXPECT_EQ(fromProfile.trustSha256, canonical);
    // A fingerprint given on the command line wins over the profile's.
    TUploadOptions own = Parsed({"--profile", "Home", "--trust-sha256", std::string(64, 'b'), "f"});
    FillFromProfile(own, secure);
    EXPECT_EQ(own.trustSha256->substr(0, 2), "BB");
    // A profile stored before encryption existed stays in clear text.
    TUploadOptions plain = Parsed({"--profile", "Home", "f"});
    FillFromProfile(plain, Home());
    EXPECT_FALSE(*plain.tls);
    EXPECT_FALSE(plain.trustSha256);
}

TEST(UploadOptionsTest, SftpTakesAHostKeyFingerprintAKeyOrTheAgent) {
    const std::string key = "SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU";
    TUploadOptions o = Parsed(
        {"--sftp", "--host", "h", "--user", "u", "--key", "id", "--trust-sha256", key + "=", "f"});
    EXPECT_FALSE(CheckUploadOptions(o));  // the key's passphrase is asked when needed
    EXPECT_EQ(o.sshHostKey, key);
    EXPECT_FALSE(o.tls);
    EXPECT_EQ(o.keyFile, "id");
    EXPECT_FALSE(
        CheckUploadOptions(Parsed({"--sftp", "--host", "h", "--user", "u", "--agent", "f"})));

    EXPECT_NE(ParseError({"--sftp", "--tls", "f"}).find("do not apply"), std::string::npos);
    EXPECT_NE(ParseError({"--sftp", "--passive", "f"}).find("do not apply"), std::string::npos);
    EXPECT_NE(ParseError({"--key", "id", "--agent", "f"}).find("only one"), std::string::npos);
    // SSH options without SFTP are a mistake, not something to ignore.
    TUploadOptions ftp =
        Parsed({"--host", "h", "--user", "u", "--password-env", "P", "--key", "id", "f"});
    EXPECT_NE(CheckUploadOptions(ftp).value_or("").find("for --sftp"), std::string::npos);
}

TEST(UploadOptionsTest, AnSftpProfileLeavesTheFtpSettingsOut) {
    TServerProfile shell = Home();
    shell.sftp = true;
    shell.port = "22";
    shell.tls = true;
    shell.tlsFingerprint = "AA:BB";
    shell.sshAuth = TSshAuth::KeyFile;
    shell.sshKeyFile = "/keys/id";
    shell.sshHostKey = "SHA256:host";
    TUploadOptions o = Parsed({"--profile", "Home", "f"});
    FillFromProfile(o, shell);
    EXPECT_FALSE(CheckUploadOptions(o));
    EXPECT_EQ(o.sftp, true);
    EXPECT_FALSE(o.tls);
    EXPECT_FALSE(o.passive);
    EXPECT_EQ(o.port, "22");
    EXPECT_EQ(o.keyFile, "/keys/id");
    EXPECT_EQ(o.sshHostKey, "SHA256:host");
    // --sftp over an FTP profile does not take the FTP port.
    TUploadOptions over = Parsed({"--profile", "Home", "--sftp", "f"});
    FillFromProfile(over, Home());
    EXPECT_FALSE(over.port);
}

}  // namespace
}  // namespace tessel::test
