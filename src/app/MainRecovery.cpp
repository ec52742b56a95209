// Recovery copies: the page with unsaved changes is kept beside the user's data, at the
// latest a minute after a change and at once after a block was added, moved or deleted, so
// that a crash or a kill does not lose the work. The next start offers to restore it.

#include <QApplication>
#include <QDateTime>
#include <QLocale>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "app/Main.h"
#include "document/Exceptions.h"
#include "document/Stream.h"
#include "pagerules/ProgramPaths.h"
#include "platform/RecoveryCopy.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"

namespace tessel {
namespace {

constexpr int kRecoveryIntervalMs = 60 * 1000;

QString KeptAtText(std::int64_t savedAt) {
    return QLocale::system().toString(QDateTime::fromSecsSinceEpoch(savedAt), QLocale::ShortFormat);
}

}  // namespace

void TfrmMain::StartRecovery() {
    if (env_.recoveryFolder.empty())
        return;
    recovery_ = std::make_unique<TRecoveryCopy>(env_.recoveryFolder);
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("tmrRecovery"));
    timer->setInterval(kRecoveryIntervalMs);
    connect(timer, &QTimer::timeout, this, &TfrmMain::tmrRecoveryTimer);
    timer->start();
}

void TfrmMain::tmrRecoveryTimer() {
    // A modal dialog means a handler is waiting for the user half-way through its work; the
    // next tick finds the page whole again.
    if (QApplication::activeModalWidget() != nullptr)
        return;
    KeepRecoveryCopy();
}

void TfrmMain::KeepRecoveryCopy(const std::string* written) {
    if (!recovery_ || !modified_)
        return;
    if (written == nullptr)
        StoreBlock();  // what is typed in the open panel belongs to the copy
    TRecoveryRecord record;
    record.documentName = currentName_ == kUntitled ? std::string() : currentName_;
    record.savedAt = env_.now ? env_.now()
                              : std::chrono::duration_cast<std::chrono::seconds>(
                                    std::chrono::system_clock::now().time_since_epoch())
                                    .count();
    try {
        std::string bytes;
        if (written == nullptr)
            bytes = WriteComponent(*document_);
        recovery_->Write(written != nullptr ? *written : bytes, record);
    } catch (const ETesselError& error) {
        // The page in the window and its Save are untouched by this; a box popping up on a
        // timer in the middle of typing would only be in the way. Said once, on the console.
        if (!recoveryFailureReported_) {
            recoveryFailureReported_ = true;
            std::fprintf(stderr, "tessel: cannot keep a recovery copy of the page: %s\n",
                         error.what());
        }
    }
}

void TfrmMain::OfferRecoveredPage() {
    if (env_.recoveryFolder.empty())
        return;
    std::optional<TClaimedCopy> claimed = ClaimNewestOrphan(env_.recoveryFolder);
    if (!claimed)
        return;
    earlierCopy_ = std::make_unique<TClaimedCopy>(std::move(*claimed));
    const TRecoveryRecord& record = earlierCopy_->Record();
    show();
    TMessage question;
    question.kind = TMsgKind::Confirmation;
    question.text =
        QStringLiteral(
            "Restore the page you were working on when the program stopped?\n\n"
            "Page: %1\nLast changed: %2")
            .arg(ToQt(record.documentName.empty() ? std::string(kUntitled) : record.documentName),
                 KeptAtText(record.savedAt));
    question.buttons = mbYes | mbNo;
    // No: the copy stays (this program holds it, so no other start offers it meanwhile)
    // until this page is saved; after a quit without saving it is offered again.
    if (ui_.Message(this, question) == mbYes)
        RestorePage(*earlierCopy_);
}

void TfrmMain::RestorePage(TClaimedCopy& copy) {
    std::unique_ptr<TPagelette> restored;
    try {
        restored = ReadDocumentFile(copy.CopyPath());
    } catch (const ETesselError& error) {
        ShowError(QStringLiteral("The page could not be restored: %1")
                      .arg(QString::fromUtf8(error.what())));
        copy.Remove();
        return;
    }
    document_ = std::move(restored);
    RebuildBlockList();
    StartUndoHistory();
    const std::string& original = copy.Record().documentName;
    currentName_ = original.empty() ? std::string(kUntitled) : original;
    SetTitle(currentName_);
    restoredFrom_ = original;
    modified_ = true;
    btnCreateClick();
    // Once this run keeps its own copy, the earlier one is no longer needed.
    KeepRecoveryCopy();
    if (recovery_->Exists())
        RemoveEarlierCopy();
}

void TfrmMain::DiscardRecoveryCopy() {
    if (recovery_)
        recovery_->Discard();
}

void TfrmMain::RemoveEarlierCopy() {
    if (earlierCopy_) {
        earlierCopy_->Remove();
        earlierCopy_.reset();
    }
}

}  // namespace tessel
