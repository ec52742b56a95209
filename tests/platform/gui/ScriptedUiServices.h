#pragma once

// UI services for headless window tests: message boxes and file dialogs are answered from
// queues filled by the test, everything shown is recorded, and our own dialogs run a test
// function instead of blocking. A modal interaction that nothing answers fails the test.

#include <QPoint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/gui/UiServices.h"

namespace tessel {

enum class TFileDialogKind { Open, Save, Picture };

struct TShownMessage {
    TMsgKind kind;
    QString caption;
    QString text;
    TMsgButtons buttons;
    int helpContext;
};

struct TShownFileDialog {
    TFileDialogKind kind;
    TFileDialogRequest request;
};

class TScriptedUiServices : public TUiServices {
  public:
    // Acts as the user on a dialog run through Exec: sets values, clicks OK or Cancel.
    using TDialogScript = std::function<void(QDialog&)>;
    // Acts as the user during a drag: moves over targets and drops (see DeliverDrop).
    using TDragScript = std::function<Qt::DropAction(QDrag&)>;

    // Checks that every scripted answer was used and the busy cursor was restored.
    ~TScriptedUiServices() override;

    void AnswerMessage(TMsgButton answer) { messageAnswers_.push_back(answer); }
    // std::nullopt answers as the user pressing Cancel.
    void AnswerFileDialog(std::optional<QString> path) { fileAnswers_.push_back(std::move(path)); }
    void AnswerExec(TDialogScript script) { dialogScripts_.push_back(std::move(script)); }
    void AnswerDrag(TDragScript script) { dragScripts_.push_back(std::move(script)); }
    // Carries the drag's data over `target` to `position` (target coordinates) and drops it
    // there, with the events a real drop sends; returns the action the target took.
    static Qt::DropAction DeliverDrop(QDrag& drag, QWidget& target, QPoint position,
                                      Qt::DropActions actions = Qt::MoveAction);
    void SetFontFamilies(QStringList families) { fontFamilies_ = std::move(families); }
    void SetOpenWithDefaultProgramResult(bool succeeds) { openSucceeds_ = succeeds; }
    // Forgets the unused answers, so the destructor does not complain about them.
    void DiscardAnswers();

    const std::vector<TShownMessage>& Messages() const { return messages_; }
    const std::vector<TShownFileDialog>& FileDialogs() const { return fileDialogs_; }
    // Object names (class names when unnamed) of the dialogs run through Exec, in order.
    const QStringList& ExecutedDialogs() const { return executedDialogs_; }
    int Drags() const { return drags_; }
    const QStringList& OpenedWithDefaultProgram() const { return opened_; }
    int Beeps() const { return beeps_; }
    int BusyPushes() const { return busyPushes_; }
    int BusyDepth() const { return busyDepth_; }
    // The cursor shown now: Qt::WaitCursor, Qt::BusyCursor, or Qt::ArrowCursor when not busy.
    Qt::CursorShape BusyShape() const {
        return busyShapes_.empty() ? Qt::ArrowCursor : busyShapes_.back();
    }
    // The busy depth while the latest modal interaction was shown (0: not busy).
    int BusyDepthAtLastModal() const { return busyDepthAtModal_; }

    TMsgButton Message(QWidget* parent, const TMessage& message) override;
    std::optional<QString> OpenFileName(QWidget* parent,
                                        const TFileDialogRequest& request) override;
    std::optional<QString> SaveFileName(QWidget* parent,
                                        const TFileDialogRequest& request) override;
    std::optional<QString> OpenPictureName(QWidget* parent,
                                           const TFileDialogRequest& request) override;
    QStringList FontFamilies() override { return fontFamilies_; }
    void Beep() override { ++beeps_; }
    bool OpenWithDefaultProgram(const QString& pathOrUrl) override;
    int Exec(QDialog& dialog) override;
    Qt::DropAction ExecDrag(QDrag& drag, Qt::DropActions actions) override;
    void PushBusyCursor() override;
    void PushWorkingCursor() override;
    void PopBusyCursor() override;

  private:
    std::optional<QString> FileDialog(TFileDialogKind kind, const TFileDialogRequest& request);

    std::deque<TMsgButton> messageAnswers_;
    std::deque<std::optional<QString>> fileAnswers_;
    std::deque<TDialogScript> dialogScripts_;
    std::deque<TDragScript> dragScripts_;
    QStringList fontFamilies_{QStringLiteral("Arial"), QStringLiteral("Courier New"),
                              QStringLiteral("Times New Roman")};
    bool openSucceeds_ = true;

    std::vector<TShownMessage> messages_;
    std::vector<TShownFileDialog> fileDialogs_;
    QStringList executedDialogs_;
    QStringList opened_;
    int beeps_ = 0;
    int drags_ = 0;
    int busyPushes_ = 0;
    int busyDepth_ = 0;
    std::vector<Qt::CursorShape> busyShapes_;
    int busyDepthAtModal_ = 0;
};

}  // namespace tessel
