// The upload wizard and the check before sending can be used without a mouse and read by a
// screen reader: every control has a name, Tab goes through each page in reading order, and
// no two shown controls share an Alt letter.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "platform/RegistryStore.h"
#include "platform/gui/KeyboardAccess.h"
#include "platform/gui/ScriptedUiServices.h"
#include "publish/core/Profiles.h"
#include "publish/gui/SendCheckDialog.h"
#include "publish/gui/WizardDriver.h"
#include "ui_SendCheckDialog.h"

namespace tessel {
namespace {

std::string Joined(const QStringList& names) {
    return names.join(QStringLiteral(", ")).toStdString();
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

class UploadKeyboardTest : public ::testing::Test {
  protected:
    // The wizard with one stored profile, selected, and one file to send.
    TfrmUpload& Open() {
        TServerProfile site;
        site.name = "My web space";
        site.host = "127.0.0.2";
        profiles.WriteProfile(site, "");
        const std::filesystem::path page = dir.Path() / "index.html";
        test::WriteFile(page, "<html></html>");
        wizard = std::make_unique<TfrmUpload>(ui, store);
        wizard->SetUploadFiles({page.string()});
        wizard->show();
        driver = std::make_unique<test::TWizardDriver>(*wizard);
        driver->SelectProfile(QStringLiteral("My web space"));
        return *wizard;
    }
    Ui::TfrmUpload& F() { return wizard->Form(); }
    void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }

    // Each face of the wizard in turn, with `where` naming it.
    template <typename Check>
    void ForEveryPage(Check check) {
        Open();
        check("server page");
        Click(F().btnAdd);
        check("profile editor");
        Click(F().btnCancel);
        Click(F().btnUpload);
        check("upload page");
    }

    test::TTempDir dir;
    TRegistryStore store{(dir.Path() / "registry").string()};
    TServerProfiles profiles{store};
    TScriptedUiServices ui;
    std::unique_ptr<TfrmUpload> wizard;
    std::unique_ptr<test::TWizardDriver> driver;
};

TEST_F(UploadKeyboardTest, EveryControlHasANameAndTheGlyphButtonsATip) {
    Open();
    EXPECT_EQ(Joined(UnnamedControls(*wizard)), "");
    for (QWidget* glyph :
         {static_cast<QWidget*>(F().btnUpAdd), static_cast<QWidget*>(F().btnUpRemove),
          static_cast<QWidget*>(F().btnAdd), static_cast<QWidget*>(F().btnEdit),
          static_cast<QWidget*>(F().btnDelete)}) {
        EXPECT_FALSE(glyph->toolTip().isEmpty()) << glyph->objectName().toStdString();
    }
    // Not in the Tab order, but read out when a screen reader walks the window.
    EXPECT_FALSE(AccessibleName(F().Animate).isEmpty());
    EXPECT_FALSE(AccessibleName(F().pbProgress).isEmpty());

    TfrmSendCheck check({{1, TSendProblem::MissingPicture, "The picture photo.jpg is missing."}});
    EXPECT_EQ(Joined(UnnamedControls(check)), "");
}

TEST_F(UploadKeyboardTest, TabGoesThroughEachPageInReadingOrder) {
    QStringList expected[] = {
        {"lvProfiles", "btnAdd", "btnEdit", "btnDelete", "btnServers", "btnExit"},
        {"txtProfileName", "txtUserName", "txtPassword", "txtHostName", "txtPort", "txtInitialDir",
         "txtWebAddress", "cbSendBy", "chkPassive", "chkTls", "btnApply", "btnCancel", "btnServers",
         "btnExit"},
        // Servers and Upload are one stop, as radio buttons are; the arrow keys choose.
        {"lstUpload", "btnUpAdd", "btnUpRemove", "btnSend", "btnServers", "btnExit"},
    };
    int page = 0;
    ForEveryPage([&](const char* where) {
        // Apply is usable once the profile has a name.
        if (F().txtProfileName->isVisible())
            QTest::keyClicks(F().txtProfileName, "Spare");
        QStringList order;
        EXPECT_EQ(Joined(ControlsTabMisses(*wizard, &order)), "") << where;
        // The walk starts at the first control of the focus chain: rotate to the page's first.
        const int start = order.indexOf(expected[page].first());
        ASSERT_GE(start, 0) << where;
        order = order.mid(start) + order.mid(0, start);
        EXPECT_EQ(Joined(order), Joined(expected[page])) << where;
        ++page;
    });
    // From Servers, the arrow key turns to the upload page.
    Click(F().btnServers);
    F().btnServers->setFocus();
    QTest::keyClick(F().btnServers, Qt::Key_Down);
    EXPECT_TRUE(F().btnUpload->isChecked());
    EXPECT_TRUE(F().pnlUpload->isVisible());
}

TEST_F(UploadKeyboardTest, NoTwoShownControlsShareAnAltLetter) {
    ForEveryPage(
        [this](const char* where) { EXPECT_EQ(Joined(MnemonicClashes(*wizard)), "") << where; });
    TfrmSendCheck check({{1, TSendProblem::MissingPicture, "The picture photo.jpg is missing."}});
    check.show();
    EXPECT_EQ(Joined(MnemonicClashes(check)), "");
}

TEST_F(UploadKeyboardTest, TabReadsTheFindingsBeforeTheAnswers) {
    TfrmSendCheck check({{0, TSendProblem::NoTitle, "The page has no title."},
                         {1, TSendProblem::MissingPicture, "The picture photo.jpg is missing."}});
    QStringList order;
    EXPECT_EQ(Joined(ControlsTabMisses(check, &order)), "");
    EXPECT_EQ(Joined(order), "lstFindings, btnGoBack, btnSendAnyway");

    // A finding that can be mended puts its button between the list and the answers.
    TfrmSendCheck mendable(
        {{0, TSendProblem::NoTitle, "The page has no title.", "&Title it", [](TPagelette&) {}},
         {1, TSendProblem::MissingPicture, "photo.jpg is missing."}},
        nullptr, [](const TSendFinding&) { return true; });
    order.clear();
    EXPECT_EQ(Joined(ControlsTabMisses(mendable, &order)), "");
    EXPECT_EQ(Joined(order), "lstFindings, btnFix0, btnGoBack, btnSendAnyway");
}

TEST_F(UploadKeyboardTest, AMendButtonHandsItsFindingOverAndSaysWhenItIsDone) {
    std::vector<TSendProblem> handed;
    bool works = false;
    TfrmSendCheck check(
        {{0, TSendProblem::NoTitle, "The page has no title.", "&Title it", [](TPagelette&) {}}},
        nullptr, [&](const TSendFinding& finding) {
            handed.push_back(finding.problem);
            return works;
        });
    check.show();
    QPushButton* mend = check.FixButton(0);
    ASSERT_NE(mend, nullptr);
    EXPECT_EQ(mend->text(), "&Title it");
    // A mend that failed leaves everything as it was, to be tried again.
    QTest::mouseClick(mend, Qt::LeftButton);
    EXPECT_TRUE(mend->isEnabled());
    EXPECT_EQ(check.Form().lstFindings->item(0)->text(), "The page has no title.");
    works = true;
    mend->setFocus();
    QTest::keyClick(mend, Qt::Key_Space);
    EXPECT_EQ(handed, (std::vector{TSendProblem::NoTitle, TSendProblem::NoTitle}));
    EXPECT_FALSE(mend->isEnabled());
    EXPECT_EQ(check.Form().lstFindings->item(0)->text(), "Mended: The page has no title.");
    EXPECT_EQ(check.Form().btnSendAnyway->text(), "&Send");
    // Without a mender there is nothing to press.
    TfrmSendCheck plain({{0, TSendProblem::NoTitle, "No title.", "&Title it", [](TPagelette&) {}}});
    EXPECT_EQ(plain.FixButton(0), nullptr);
}

}  // namespace
}  // namespace tessel
