// The main window's start, settings, closing and help actions.

#include "app/Main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <filesystem>

#include "app/core/PanelRules.h"
#include "dialogs/Splash.h"
#include "dialogs/TipDay.h"
#include "html/MakerAddresses.h"
#include "pagerules/ProgramPaths.h"
#include "platform/ProgramFolder.h"
#include "platform/RecoveryCopy.h"
#include "platform/RegistryStore.h"
#include "platform/gui/HelpKey.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/OpenWithShell.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "themes/core/WebTheme.h"
#include "ui_Main.h"

namespace tessel {
namespace {

const std::string kPositionKey = std::string(kSettingsKey) + "\\Position";
constexpr int kDesignPaneWidth = 250;

}  // namespace

TfrmMain::TfrmMain(TUiServices& ui, TMainEnvironment environment, QWidget* parent)
    : QWidget(parent),
      ui_(ui),
      env_(std::move(environment)),
      form_(std::make_unique<Ui::TfrmMain>()),
      document_(std::make_unique<TPagelette>()),
      themes_(std::make_unique<TWebTheme>()),
      undo_(env_.undoByteCap) {
    form_->setupUi(this);
    // The memos' design font until a block brings its own.
    DescriptionToFont(kDefaultFontDescription, headingFont_);
    DescriptionToFont(kDefaultFontDescription, textFont_);
    ApplyMemoFont(0);
    ApplyMemoFont(1);
    CreateMenus();
    SetUpLists();
    ConnectHandlers();
    SetUpWhatsThis();
    FormCreate();
}

TfrmMain::~TfrmMain() {
    // The controls and the application still signal while the window is taken apart (the
    // focus moves, lists empty); by then no handler of this window may run.
    qApp->disconnect(this);
    for (QObject* control : findChildren<QObject*>()) control->disconnect(this);
}

void TfrmMain::FormCreate() {
    const TFillingPanels filling(*this);
    ReadSettings();
    try {
        // File dialogs start in these folders; a missing one would send the first save to
        // whatever folder the program was started from.
        CreateProgramSubFolders(env_.programFolder);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    }
    paletteKind_ = btHeading;
    NewDocument();
    LoadThemes();
    FillPalette();
    SetUpForms();
    form_->lstPalette->setCurrentRow(0);
    SelectBlockEntry(0);
    form_->cbBullets->setCurrentIndex(0);
    ShowBlock();
    fullLineWidth_ = form_->bevHR->width();
    currentName_ = kUntitled;
    if (env_.registerFileTypes) {
        try {
            env_.registerFileTypes();
        } catch (const std::exception& error) {
            ShowError(QString::fromUtf8(error.what()));
        }
    }
    if (!env_.arguments.isEmpty() && !env_.arguments.first().isEmpty()) {
        OpenDocument(FromQt(env_.arguments.first()));
        btnCreateClick();
    }
    StartRecovery();
    OfferRecoveredPage();
    if (tipsAtStart_ != 0) {
        show();
        mnuTipsClick();
    }
}

void TfrmMain::LoadThemes() {
    try {
        themes_ = tessel::LoadThemes(env_.programFolder);
    } catch (const std::exception& error) {
        // The program still starts: the theme list stays empty.
        ShowError(QString::fromUtf8(error.what()));
    }
    form_->lstThemes->ClearLines();
    const TThemeCollection& items = themes_->Items();
    for (int i = 0; i < items.Count(); ++i)
        form_->lstThemes->AddLine(ToQt(items.Items(i).ThemeName));
}

void TfrmMain::ReadSettings() {
    TRegistryStore* settings = env_.settings;
    if (settings == nullptr)
        return;
    auto readInt = [&](const std::string& key, const char* name, int fallback) {
        const std::optional<std::string> text = settings->Read(key, name);
        return SettingToInt(text ? &*text : nullptr, fallback);
    };
    const std::optional<std::string> state = settings->Read(kPositionKey, "WindowState");
    if (state && *state == "Normal") {
        const QRect design = geometry();
        setGeometry(readInt(kPositionKey, "Left", design.x()),
                    readInt(kPositionKey, "Top", design.y()),
                    readInt(kPositionKey, "Width", design.width()),
                    readInt(kPositionKey, "Height", design.height()));
        setWindowState(Qt::WindowNoState);
    } else {
        setWindowState(Qt::WindowMaximized);
    }
    paneWidth_ = readInt(kPositionKey, "PaneWidth", kDesignPaneWidth);
    ApplyPaneWidth();
    tipsAtStart_ = readInt(kSettingsKey, kTipDayValueName, 1);
}

void TfrmMain::WriteSettings() {
    TRegistryStore* settings = env_.settings;
    if (settings == nullptr)
        return;
    auto write = [&](const char* name, int value) {
        settings->WriteString(kPositionKey, name, std::to_string(value));
    };
    if (isMaximized() && !isMinimized()) {
        settings->WriteString(kPositionKey, "WindowState", "Maximized");
    } else if (!isMinimized()) {
        settings->WriteString(kPositionKey, "WindowState", "Normal");
        const QRect r = geometry();
        write("Top", r.y());
        write("Left", r.x());
        write("Height", r.height());
        write("Width", r.width());
    }
    const QList<int> sizes = form_->Splitter->sizes();
    write("PaneWidth",
          sizes.isEmpty() || sizes.first() <= 0 ? form_->pnlPagelette->width() : sizes.first());
}

bool TfrmMain::FormCloseQuery() {
    if (!AskSaveChanges())
        return false;
    WriteSettings();
    DiscardRecoveryCopy();
    std::error_code ignored;
    std::filesystem::remove(env_.programFolder + kDocumentsFolder + "~tmp.html", ignored);
    if (env_.help != nullptr)
        env_.help->CloseHelp();
    return true;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TfrmMain::ApplyPaneWidth() {
    form_->Splitter->setSizes({paneWidth_, std::max(form_->Splitter->width() - paneWidth_, 1)});
}

void TfrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (env_.hideSplash) {
        env_.hideSplash();
        env_.hideSplash = nullptr;
    }
    if (!shownBefore_) {
        // The splitter knows its width only now.
        shownBefore_ = true;
        ApplyPaneWidth();
    }
    FormResize();
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TfrmMain::FormResize() {
    form_->lstBlocks->viewport()->update();
}

void TfrmMain::PaintButtonStrip() {
    QWidget* strip = form_->pbButtons;
    QPainter painter(strip);
    const QRect client = strip->rect();
    const int left = client.left();
    const int right = client.right();
    const int top = form_->btnCreate->geometry().top();
    const int bottom = form_->btnUpload->geometry().bottom();
    painter.setPen(strip->palette().color(QPalette::Dark));
    painter.drawLine(right - 1, top, right - 1, bottom);
    painter.drawLine(right - 1, bottom, left, bottom);
    painter.setPen(strip->palette().color(QPalette::Light));
    painter.drawLine(left, bottom, left, top);
    painter.drawLine(left, top, right - 1, top);
}

void TfrmMain::SetTitle(const std::string& currentName) {
    setWindowTitle(ToQt(WindowTitle(currentName)));
}

void TfrmMain::ShowInfo(const QString& text) {
    TMessage message;
    message.kind = TMsgKind::Information;
    message.text = text;
    message.buttons = mbOK;
    ui_.Message(this, message);
}

void TfrmMain::ShowError(const QString& text) {
    TMessage message;
    message.kind = TMsgKind::Error;
    message.text = text;
    message.buttons = mbOK;
    ui_.Message(this, message);
}

// --- help actions ------------------------------------------------------------------------

void TfrmMain::mnuHelpContentsClick() {
    if (env_.help != nullptr)
        env_.help->ShowContents();
}

void TfrmMain::mnuGettingStartedClick() {
    if (env_.help != nullptr)
        env_.help->ShowGettingStarted();
}

void TfrmMain::mnuTipsClick() {
    TfrmTips tips(
        QString::fromStdString(env_.programFolder),
        [this](bool showAtStart) {
            tipsAtStart_ = showAtStart ? 1 : 0;
            if (env_.settings != nullptr) {
                env_.settings->WriteString(kSettingsKey, kTipDayValueName, TipDayText(showAtStart));
            }
        },
        env_.randomBelow, this);
    tips.SetShowAtStart(tipsAtStart_ != 0);
    ui_.Exec(tips);
}

void TfrmMain::mnuHelpWebClick() {
    OpenWithShell(ui_, this, QString::fromUtf8(kMakerWebAddress));
}

void TfrmMain::mnuHelpHostingClick() {
    OpenWithShell(ui_, this, QString::fromUtf8(kMakerHostingAddress));
}

void TfrmMain::btnCustomClick() {
    OpenWithShell(ui_, this, QString::fromUtf8(kMakerResellerAddress));
}

void TfrmMain::mnuHelpAboutClick() {
    TSplashScreen about(this);
    about.PrepareAsAbout();
    about.SetOpenWebSite([this] { mnuHelpWebClick(); });
    ui_.Exec(about);
}

void TfrmMain::popWhatsThisPopup(QWidget* control, const QPoint& globalPos) {
    whatsThisContext_ = HelpContextOf(control);
    whatsThisPos_ = globalPos;
    popWhatsThis_->popup(globalPos);
}

void TfrmMain::mnuWhatsThisClick() {
    if (env_.help != nullptr && whatsThisContext_ != 0) {
        env_.help->PopUpTopic(whatsThisContext_, whatsThisPos_);
    }
    whatsThisContext_ = 0;
}

}  // namespace tessel
