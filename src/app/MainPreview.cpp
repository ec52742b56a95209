// The preview view: the page as the viewer shows it, the theme list beside it and the
// external preview in the default browser.

#include <QEvent>
#include <QPushButton>
#include <QToolButton>

#include "app/Main.h"
#include "pagerules/ProgramPaths.h"
#include "platform/gui/HtmlView.h"
#include "platform/gui/OpenWithShell.h"
#include "platform/gui/TextConvert.h"
#include "themes/core/WebTheme.h"
#include "ui_Main.h"

namespace tessel {
namespace {

inline constexpr const char* kExternalPreviewName = "~tmp.html";

// The row of the selected entry, -1 for none. Focus alone makes a row current without
// selecting it, so the current row is not the user's choice.
int SelectedRow(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.isEmpty() ? -1 : list.row(selected.first());
}

// Remembers the theme list's selected row when a mouse button goes down on it, so that a
// click on the theme already selected, which changes no selection, still applies it.
class TRowAtPress : public QObject {
  public:
    TRowAtPress(QListWidget* list, int& row) : QObject(list), list_(list), row_(row) {
        list->viewport()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            row_ = SelectedRow(*list_);
        return QObject::eventFilter(watched, event);
    }

  private:
    QListWidget* list_;
    int& row_;
};

}  // namespace

void TfrmMain::ConnectPreview() {
    Ui::TfrmMain& f = *form_;
    f.browser->SetDefaultFont(QStringLiteral("Times New Roman"));
    f.browser->SetDefaultFixedFont(QStringLiteral("Courier New"));
    connect(f.btnCreate, &QToolButton::clicked, this, [this] { btnCreateClick(0); });
    connect(f.btnPreview, &QToolButton::clicked, this, [this] { btnCreateClick(1); });
    connect(f.btnToggle, &QPushButton::clicked, this, &TfrmMain::btnToggleClick);
    connect(f.btnExternalView, &QPushButton::clicked, this, &TfrmMain::btnExternalViewClick);
    connect(f.browser, &THtmlView::HotSpotClick, this, &TfrmMain::browserHotSpotClick);
    // A newly selected row is a click (the keyboard's too); so is a click on the row already
    // selected. The rows selected to follow the page are none.
    connect(f.lstThemes, &QListWidget::itemSelectionChanged, this, [this] {
        if (!selectingTheme_)
            lstThemesClick();
    });
    new TRowAtPress(f.lstThemes, themeRowAtPress_);
    connect(f.lstThemes, &QListWidget::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == themeRowAtPress_)
            lstThemesClick();
    });
}

void TfrmMain::btnCreateClick(int tag) {
    Ui::TfrmMain& f = *form_;
    if (tag == 1) {
        std::vector<std::string> lines;
        TGenerateOptions options;
        options.mode = omPreview;
        options.programFolder = env_.programFolder;
        options.banner = f.chkLogo->isChecked();
        options.pageFileName = UploadHtmlName(currentName_);
        options.host = this;
        GeneratePage(*document_, lines, options);
        f.browser->Clear();
        // The viewer takes its final size first: a page laid out at the size of a pane not
        // yet shown would be laid out again at once.
        f.pnlPreview->raise();
        f.pnlPreview->show();
        f.pnlCreate->hide();
        if (layout() != nullptr)
            layout()->activate();
        f.browser->SetServerRoot(ToQt(env_.programFolder + "Upload"));
        f.browser->LoadLines(lines);
        f.btnPreview->setChecked(true);
    } else {
        f.pnlCreate->raise();
        f.pnlCreate->show();
        f.pnlPreview->hide();
        f.btnCreate->setChecked(true);
    }
}

void TfrmMain::lstThemesClick() {
    const int selected = SelectedRow(*form_->lstThemes);
    if (selected < 0 || selected >= themes_->Items().Count())
        return;
    const TUndoableChange change(*this, "Apply Theme", 0);
    ApplyTheme(*themes_, selected, *document_);
    btnCreateClick(1);
}

void TfrmMain::btnToggleClick() {
    const bool shown = form_->btnToggle->isChecked();
    form_->lstThemes->setVisible(shown);
    form_->bevSpacer->setVisible(shown);
}

void TfrmMain::btnExternalViewClick() {
    const std::string path = env_.programFolder + kDocumentsFolder + kExternalPreviewName;
    // A failed write is not reported: the browser is asked to open whatever file is there.
    WritePageHtml(omLocalCopy, path, currentName_);
    OpenWithShell(ui_, this, ToQt(path));
}

void TfrmMain::browserHotSpotClick(const QUrl&, bool* handled) {
    *handled = true;
}

}  // namespace tessel
