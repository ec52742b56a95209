#pragma once

// The application object. Its notify override is the program's default error box: an
// exception that escapes any event handler is shown to the user as an error message, and
// the program goes on.

#include <QApplication>

namespace tessel {

class TUiServices;

class TTessApplication : public QApplication {
    Q_OBJECT

  public:
    TTessApplication(int& argc, char** argv);

    // The services that show the error box; without them the error goes to the log.
    void SetUiServices(TUiServices* ui) { ui_ = ui; }
    TUiServices* UiServices() const { return ui_; }

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows a message as the program's error box.
    void ShowError(const QString& text);

  private:
    TUiServices* ui_ = nullptr;
};

}  // namespace tessel
