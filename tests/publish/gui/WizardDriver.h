#pragma once

// Drives the upload wizard as a user does, by its controls' object names, and records the
// FTP commands of its sessions together with the progress text shown when each was sent.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <chrono>
#include <string>
#include <vector>

#include "publish/NetTestSupport.h"
#include "publish/gui/Upload.h"
#include "ui_Upload.h"

namespace tessel::test {

// Generous: the sanitizers and a shared machine slow everything down.
inline constexpr std::chrono::seconds kSessionLimit{120};

struct TSentCommand {
    std::string command;
    std::string label;  // lblProgress when the command went out
};

class TWizardDriver {
  public:
    explicit TWizardDriver(TfrmUpload& wizard) : FWizard(wizard) {
        wizard.Ftp().OnCommand = [this](TCustomFtpCli*, std::string& command) {
            FCommands.push_back({command, FWizard.Form().lblProgress->text().toStdString()});
        };
    }

    Ui::TfrmUpload& F() const { return FWizard.Form(); }

    static void ClickEntry(QListWidget* list, int row) {
        const QRect entry = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    }
    void SelectProfile(const QString& name) {
        const QList<QListWidgetItem*> found = F().lvProfiles->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        ClickEntry(F().lvProfiles, F().lvProfiles->row(found.first()));
    }
    // Selects the profile, turns to the upload page and presses Send.
    void Send(const QString& profile) {
        SelectProfile(profile);
        QTest::mouseClick(F().btnUpload, Qt::LeftButton);
        ASSERT_TRUE(F().btnSend->isEnabled());
        QTest::mouseClick(F().btnSend, Qt::LeftButton);
    }
    bool WaitForIdle() {
        return RunUntil([this] { return !FWizard.SessionRunning(); }, kSessionLimit);
    }
    // The commands sent, verbs and arguments, without the log-in's.
    std::vector<std::string> Commands(const std::string& verb) const {
        std::vector<std::string> found;
        for (const TSentCommand& sent : FCommands) {
            if (sent.command.rfind(verb, 0) == 0) {
                found.push_back(sent.command);
            }
        }
        return found;
    }
    const std::vector<TSentCommand>& Sent() const { return FCommands; }
    // The progress text when the first command starting with `verb` went out.
    std::string LabelAt(const std::string& verb) const {
        for (const TSentCommand& sent : FCommands) {
            if (sent.command.rfind(verb, 0) == 0) {
                return sent.label;
            }
        }
        return "<no " + verb + ">";
    }
    // The idle page: list, add, remove and Servers usable, no progress, the globe still.
    void ExpectIdlePage() const {
        EXPECT_FALSE(FWizard.SessionRunning());
        EXPECT_TRUE(F().pnlProgress->isHidden());
        EXPECT_FALSE(F().btnSend->isHidden());
        EXPECT_FALSE(F().Animate->Active());
        EXPECT_TRUE(F().lstUpload->isEnabled());
        EXPECT_TRUE(F().btnUpAdd->isEnabled());
        EXPECT_EQ(F().btnUpRemove->isEnabled(), F().lstUpload->count() > 0);
        EXPECT_TRUE(F().btnServers->isEnabled());
    }

  private:
    TfrmUpload& FWizard;
    std::vector<TSentCommand> FCommands;
};

}  // namespace tessel::test
