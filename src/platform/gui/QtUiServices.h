#pragma once

// The UI services of the running program: real Qt dialogs.

#include <QString>

#include "platform/gui/UiServices.h"

namespace tessel {

class THelpViewer;

class TQtUiServices : public TUiServices {
  public:
    // `applicationTitle` is the caption of message boxes that bring none of their own.
    explicit TQtUiServices(QString applicationTitle);
    ~TQtUiServices() override;

    // The window that a message box's Help button opens; may stay unset (no Help then).
    void SetHelpViewer(THelpViewer* help) { help_ = help; }

    TMsgButton Message(QWidget* parent, const TMessage& message) override;
    std::optional<QString> OpenFileName(QWidget* parent,
                                        const TFileDialogRequest& request) override;
    std::optional<QString> SaveFileName(QWidget* parent,
                                        const TFileDialogRequest& request) override;
    std::optional<QString> OpenPictureName(QWidget* parent,
                                           const TFileDialogRequest& request) override;
    QStringList FontFamilies() override;
    void Beep() override;
    bool OpenWithDefaultProgram(const QString& pathOrUrl) override;
    int Exec(QDialog& dialog) override;
    Qt::DropAction ExecDrag(QDrag& drag, Qt::DropActions actions) override;
    void PushBusyCursor() override;
    void PushWorkingCursor() override;
    void PopBusyCursor() override;

  private:
    QString title_;
    THelpViewer* help_ = nullptr;
    int busyDepth_ = 0;
};

}  // namespace tessel
