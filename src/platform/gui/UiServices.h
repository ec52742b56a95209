#pragma once

// Every modal interaction of the windows goes through this interface, so that tests can
// answer message boxes and file dialogs from a script and run our own dialogs headless.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;
class QDrag;
class QWidget;

namespace tessel {

enum class TMsgKind { Information, Confirmation, Warning, Error };

// Buttons of a message box, combinable; the answer is one of them.
enum TMsgButton : unsigned {
    mbOK = 1u << 0,
    mbCancel = 1u << 1,
    mbYes = 1u << 2,
    mbNo = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbHelp = 1u << 7,
};
using TMsgButtons = unsigned;

struct TMessage {
    TMsgKind kind = TMsgKind::Information;
    QString caption;  // empty: the application title
    QString text;
    TMsgButtons buttons = mbOK;
    int helpContext = 0;  // 0: none
};

struct TFileDialogRequest {
    QString title;
    QString folder;    // starting folder
    QString fileName;  // proposed name
    QString filter;    // Qt filter text, e.g. "Tessel Files (*.pgx)"
    QString defaultSuffix;
    bool confirmOverwrite = true;  // save dialogs
};

class TUiServices {
  public:
    virtual ~TUiServices() = default;

    // Shows a modal message box and returns the button pressed.
    virtual TMsgButton Message(QWidget* parent, const TMessage& message) = 0;

    // The chosen path, or nothing when the user cancels.
    virtual std::optional<QString> OpenFileName(QWidget* parent,
                                                const TFileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFileName(QWidget* parent,
                                                const TFileDialogRequest& request) = 0;
    // An open dialog for pictures that previews the selected picture.
    virtual std::optional<QString> OpenPictureName(QWidget* parent,
                                                   const TFileDialogRequest& request) = 0;

    // The installed font families as the font system names them; a family that several
    // foundries make may come once per foundry, as "Family [Foundry]".
    virtual QStringList FontFamilies() = 0;
    virtual void Beep() = 0;
    // Opens a file or web address with its default program; false when that failed.
    virtual bool OpenWithDefaultProgram(const QString& pathOrUrl) = 0;

    // Runs one of our own dialogs modally and returns its result (QDialog::Accepted or
    // Rejected). Tests run a scripted function on the dialog instead of blocking.
    virtual int Exec(QDialog& dialog) = 0;
    // Runs a drag and drop (a nested loop until the mouse button is released) and returns the
    // action the drop target took. Tests deliver the drop from a script instead.
    virtual Qt::DropAction ExecDrag(QDrag& drag, Qt::DropActions actions) = 0;

    // The hourglass cursor; nests. Use TBusyCursor rather than calling these directly.
    virtual void PushBusyCursor() = 0;
    // The arrow with the hourglass (the application-starting cursor): work goes on in the
    // background while the window can still be used. Nests with the hourglass; PopBusyCursor
    // takes back the latest of either.
    virtual void PushWorkingCursor() = 0;
    virtual void PopBusyCursor() = 0;
};

// Shows the hourglass for its lifetime and restores the cursor on every path out.
class TBusyCursor {
  public:
    explicit TBusyCursor(TUiServices& ui) : ui_(ui) { ui_.PushBusyCursor(); }
    ~TBusyCursor() { ui_.PopBusyCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

  private:
    TUiServices& ui_;
};

}  // namespace tessel
