#include <gtest/gtest.h>

#include <stdexcept>

#include "publish/core/ProfileRules.h"

namespace tessel {
namespace {

TEST(ProfileRulesTest, NameFilterRefusesFileNameCharactersTypedOrPasted) {
    for (char c : std::string("\\/:*?\"<>|")) {
        EXPECT_TRUE(IsRefusedProfileNameChar(c)) << c;
        EXPECT_FALSE(IsProfileNameAcceptable(std::string("my") + c + "site")) << c;
    }
    for (char c : std::string("aZ09 -_.[]'&")) {
        EXPECT_FALSE(IsRefusedProfileNameChar(c)) << c;
    }
    EXPECT_EQ(StripRefusedProfileNameChars("ftp://my<site>|\"x\"?*"), "ftpmysitex");
    EXPECT_TRUE(IsProfileNameAcceptable("My site [home]"));
    EXPECT_FALSE(IsProfileNameAcceptable(""));
}

TEST(ProfileRulesTest, PortTakesDigitsAndBackspaceOnly) {
    EXPECT_TRUE(IsPortKey('0'));
    EXPECT_TRUE(IsPortKey('9'));
    EXPECT_TRUE(IsPortKey('\b'));
    EXPECT_FALSE(IsPortKey('a'));
    EXPECT_FALSE(IsPortKey('-'));
    EXPECT_FALSE(IsPortKey(' '));
    EXPECT_EQ(PortDigits(" 21a-2\t1"), "2121");
}

TEST(ProfileRulesTest, AddRefusesNamesEqualWithoutRegardToCaseOnly) {
    const std::vector<std::string> list = {"Home", "Work site"};
    EXPECT_EQ(DecideApply(list, TProfileEditMode::Add, -1, "home").verdict,
              TApplyVerdict::Duplicate);
    EXPECT_EQ(DecideApply(list, TProfileEditMode::Add, -1, "WORK SITE").verdict,
              TApplyVerdict::Duplicate);
    const TApplyDecision prefix = DecideApply(list, TProfileEditMode::Add, -1, "Hom");
    EXPECT_EQ(prefix.verdict, TApplyVerdict::Store);
    EXPECT_EQ(prefix.oldName, "");
    EXPECT_EQ(DecideApply({}, TProfileEditMode::Add, -1, "x").verdict, TApplyVerdict::Store);
}

TEST(ProfileRulesTest, EditRenamesUnlessTheNameIsTakenOrOnlyItsCaseChanges) {
    const std::vector<std::string> list = {"Home", "Work"};
    const TApplyDecision same = DecideApply(list, TProfileEditMode::Edit, 0, "Home");
    EXPECT_EQ(same.verdict, TApplyVerdict::Store);
    EXPECT_EQ(same.oldName, "");  // written in place

    const TApplyDecision renamed = DecideApply(list, TProfileEditMode::Edit, 0, "Cottage");
    EXPECT_EQ(renamed.verdict, TApplyVerdict::Store);
    EXPECT_EQ(renamed.oldName, "Home");

    EXPECT_EQ(DecideApply(list, TProfileEditMode::Edit, 0, "work").verdict,
              TApplyVerdict::Duplicate);
    EXPECT_EQ(DecideApply(list, TProfileEditMode::Edit, 0, "HOME").verdict,
              TApplyVerdict::Duplicate);
    EXPECT_THROW(DecideApply(list, TProfileEditMode::Edit, 2, "x"), std::out_of_range);
    EXPECT_THROW(DecideApply(list, TProfileEditMode::Edit, -1, "x"), std::out_of_range);
}

TEST(ProfileRulesTest, ApplyRefusesEmptyAndPastedBadNamesInBothModes) {
    const std::vector<std::string> list = {"Home"};
    for (const auto mode : {TProfileEditMode::Add, TProfileEditMode::Edit}) {
        EXPECT_EQ(DecideApply(list, mode, 0, "").verdict, TApplyVerdict::EmptyName);
        EXPECT_EQ(DecideApply(list, mode, 0, "a:b").verdict, TApplyVerdict::BadName);
        EXPECT_EQ(DecideApply(list, mode, 0, "Home\\x").verdict, TApplyVerdict::BadName);
    }
}

TEST(ProfileRulesTest, ATrustedCertificateStaysOnlyWithTheSameEncryptedServer) {
    TServerProfile stored;
    stored.host = "ftp.host.example";
    stored.port = "21";
    stored.tls = true;
    stored.tlsFingerprint = "AA:BB";
    TServerProfile edited = stored;
    edited.name = "Renamed";
    edited.user = "someone else";
    EXPECT_EQ(KeptFingerprint(stored, edited), "AA:BB");

    for (auto change :
         {+[](TServerProfile& p) { p.host = "other.example"; },
          +[](TServerProfile& p) { p.port = "990"; }, +[](TServerProfile& p) { p.tls = false; }}) {
        TServerProfile moved = stored;
        change(moved);
        EXPECT_EQ(KeptFingerprint(stored, moved), "");
    }
    // Encryption turned off and on again in two edits forgets the old certificate.
    TServerProfile plain = stored;
    plain.tls = false;
    plain.tlsFingerprint = KeptFingerprint(stored, plain);
    EXPECT_EQ(KeptFingerprint(plain, stored), "");
}

TEST(ProfileRulesTest, ATrustedHostKeyStaysOnlyWithTheSameSftpServer) {
    TServerProfile stored;
    stored.host = "ssh.host.example";
    stored.port = "22";
    stored.sftp = true;
    stored.sshHostKey = "SHA256:key";
    TServerProfile edited = stored;
    edited.user = "someone else";
    EXPECT_EQ(KeptHostKey(stored, edited), "SHA256:key");
    edited.sftp = false;
    EXPECT_EQ(KeptHostKey(stored, edited), "");
    edited = stored;
    edited.port = "2222";
    EXPECT_EQ(KeptHostKey(stored, edited), "");
}

TEST(ProfileRulesTest, ChangingTheWayToSendProposesItsPortButKeepsAnOwnOne) {
    EXPECT_EQ(PortForWay("21", true), "22");
    EXPECT_EQ(PortForWay("", true), "22");
    EXPECT_EQ(PortForWay("22", false), "21");
    EXPECT_EQ(PortForWay("2222", true), "2222");
    EXPECT_EQ(PortForWay("2121", false), "2121");
    EXPECT_EQ(PortForWay("22", true), "22");
}

}  // namespace
}  // namespace tessel
