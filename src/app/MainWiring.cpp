// The main window's menus, signal connections, "What's This?" contexts (its own and its
// dialogs') and the mouse work of its drag sources and drop targets.

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include "app/BlockListDelegates.h"
#include "app/Main.h"
#include "app/core/PageLanguages.h"
#include "pagerules/BlockKinds.h"
#include "platform/HelpContexts.h"
#include "platform/gui/HelpKey.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UiServices.h"
#include "ui_Main.h"

namespace tessel {
namespace {

constexpr const char* kDragFormat = "application/x-tessel-drag";

QByteArray DragName(TDragSource source) {
    switch (source) {
        case TDragSource::Palette:
            return "palette";
        case TDragSource::Blocks:
            return "blocks";
        case TDragSource::Links:
            return "links";
        case TDragSource::None:
            break;
    }
    return {};
}

TDragSource DragSourceOf(const QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (data == nullptr || !data->hasFormat(kDragFormat))
        return TDragSource::None;
    const QByteArray name = data->data(kDragFormat);
    for (TDragSource source : {TDragSource::Palette, TDragSource::Blocks, TDragSource::Links}) {
        if (name == DragName(source))
            return source;
    }
    return TDragSource::None;
}

QAction* AddItem(QMenu* menu, const QString& text, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(text);
    action->setShortcut(shortcut);
    return action;
}

}  // namespace

void TfrmMain::CreateMenus() {
    popBlocks_ = new QMenu(this);
    popBlocks_->setObjectName(QStringLiteral("popBlocks"));
    mnuDelete_ = popBlocks_->addAction(QStringLiteral("&Delete Pagelette\tDel"));
    mnuDelete_->setObjectName(QStringLiteral("mnuDelete"));
    mnuDeleteSeparator_ = popBlocks_->addSeparator();
    CreateUndoActions();
    popBlocks_->addActions({actUndo_, actRedo_});
    popBlocks_->addSeparator();
    QAction* mnuNew =
        AddItem(popBlocks_, QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    popBlocks_->addSeparator();
    mnuOpen_ = AddItem(popBlocks_, QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    popBlocks_->addSeparator();
    QAction* mnuSave =
        AddItem(popBlocks_, QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* mnuCreateTemplate = AddItem(popBlocks_, QStringLiteral("Save &As Template"),
                                         QKeySequence(Qt::CTRL | Qt::Key_T));
    popBlocks_->addSeparator();
    QMenu* mnuHelp = popBlocks_->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    QAction* mnuHelpContents =
        AddItem(mnuHelp, QStringLiteral("&Contents"), QKeySequence(Qt::Key_F1));
    QAction* mnuGettingStarted = AddItem(mnuHelp, QStringLiteral("&Getting Started"));
    QAction* mnuTips = AddItem(mnuHelp, QStringLiteral("&Tip of the Day"));
    mnuHelp->addSeparator();
    QAction* mnuHelpWeb = AddItem(mnuHelp, QStringLiteral("Brindle &Software"));
    QAction* mnuHelpHosting = AddItem(mnuHelp, QStringLiteral("&Web Hosting"));
    mnuHelp->addSeparator();
    QAction* mnuHelpAbout = AddItem(mnuHelp, QStringLiteral("&About Tessel 4.0..."));
    popBlocks_->addSeparator();
    popBlocks_->addAction(QStringLiteral("&Cancel"));

    const std::pair<QAction*, const char*> names[] = {{mnuNew, "mnuNew"},
                                                      {mnuOpen_, "mnuOpen"},
                                                      {mnuSave, "mnuSave"},
                                                      {mnuCreateTemplate, "mnuCreateTemplate"},
                                                      {mnuHelpContents, "mnuHelpContents"},
                                                      {mnuGettingStarted, "mnuGettingStarted"},
                                                      {mnuTips, "mnuTips"},
                                                      {mnuHelpWeb, "mnuHelpWeb"},
                                                      {mnuHelpHosting, "mnuHelpHosting"},
                                                      {mnuHelpAbout, "mnuHelpAbout"}};
    for (const auto& [action, name] : names) action->setObjectName(QString::fromLatin1(name));

    // The shortcuts work anywhere in the window, not only while the menu is open. Delete has
    // its own window action because the menu item is hidden most of the time; it stands aside
    // while a list or an edit has the focus (UpdateDeleteKey).
    addActions({mnuNew, mnuOpen_, mnuSave, mnuCreateTemplate, mnuHelpContents});
    deleteKey_ = new QAction(this);
    deleteKey_->setObjectName(QStringLiteral("actDeleteKey"));
    deleteKey_->setShortcut(QKeySequence(Qt::Key_Delete));
    addAction(deleteKey_);

    connect(mnuDelete_, &QAction::triggered, this, &TfrmMain::mnuDeleteClick);
    connect(deleteKey_, &QAction::triggered, this, &TfrmMain::mnuDeleteClick);
    connect(mnuNew, &QAction::triggered, this, &TfrmMain::mnuNewClick);
    connect(mnuOpen_, &QAction::triggered, this, &TfrmMain::btnChooseTemplateClick);
    connect(mnuSave, &QAction::triggered, this, &TfrmMain::mnuSaveClick);
    connect(mnuCreateTemplate, &QAction::triggered, this, &TfrmMain::mnuCreateTemplateClick);
    connect(mnuHelpContents, &QAction::triggered, this, &TfrmMain::mnuHelpContentsClick);
    connect(mnuGettingStarted, &QAction::triggered, this, &TfrmMain::mnuGettingStartedClick);
    connect(mnuTips, &QAction::triggered, this, &TfrmMain::mnuTipsClick);
    connect(mnuHelpWeb, &QAction::triggered, this, &TfrmMain::mnuHelpWebClick);
    connect(mnuHelpHosting, &QAction::triggered, this, &TfrmMain::mnuHelpHostingClick);
    connect(mnuHelpAbout, &QAction::triggered, this, &TfrmMain::mnuHelpAboutClick);

    popWhatsThis_ = new QMenu(this);
    popWhatsThis_->setObjectName(QStringLiteral("popWhatsThis"));
    QAction* mnuWhatsThis = popWhatsThis_->addAction(QStringLiteral("&What's This?"));
    mnuWhatsThis->setObjectName(QStringLiteral("mnuWhatsThis"));
    connect(mnuWhatsThis, &QAction::triggered, this, &TfrmMain::mnuWhatsThisClick);
}

void TfrmMain::SetUpLists() {
    Ui::TfrmMain& f = *form_;
    f.lstPalette->setItemDelegate(new TPaletteEntryDelegate(f.lstPalette));
    f.lstPalette->setFrameShape(QFrame::StyledPanel);
    f.lstBlocks->setItemDelegate(new TBlockEntryDelegate(f.lstBlocks));
    f.lstBlocks->setFrameShape(QFrame::NoFrame);
    f.lstBlocks->setSelectionMode(QAbstractItemView::SingleSelection);
    f.lstBlocks->setUniformItemSizes(true);
    // The tiles span the list's width, so the list never scrolls sideways.
    f.lstBlocks->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    f.lstBlocks->setResizeMode(QListView::Adjust);
    f.lstBlocks->viewport()->setBackgroundRole(QPalette::Button);
    f.lstBlocks->viewport()->setAutoFillBackground(true);
    // The left pane keeps its width when the window grows or shrinks; the editor takes the
    // difference.
    f.Splitter->setStretchFactor(0, 0);
    f.Splitter->setStretchFactor(1, 1);
    f.Splitter->setChildrenCollapsible(false);
    f.lstLinks->SetTabWidth(20);
    f.lstMeta->SetTabWidth(30);
    for (const TPageLanguage& language : CommonPageLanguages())
        f.cboLanguage->addItem(ToQt(LanguageChoiceText(language.tag)));
    f.pnlLanguage->hide();
    f.shp->setBackgroundRole(QPalette::Highlight);
    f.shp->hide();
    f.pnlPreview->hide();
    f.lblImageError->hide();
    f.pnlHRPreview->setFrameShape(QFrame::NoFrame);

    // The panel headers show the kind's picture; the buttons their glyphs.
    const std::pair<QLabel*, TBlockType> headers[] = {{f.imgProp, btPageProperties},
                                                      {f.imgHeading, btHeading},
                                                      {f.imgImage, btImage},
                                                      {f.imgLink, btLink},
                                                      {f.imgText, btText},
                                                      {f.imgBullet, btBullet},
                                                      {f.imgHR, btHR},
                                                      {f.imgForms, btForms}};
    for (const auto& [label, kind] : headers) {
        label->setPixmap(Picture(QString::fromLatin1(BlockIconName(kind)), QSize(16, 16)));
    }
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             f.btnCreate, f.btnPreview, f.btnSave, f.btnUpload, f.btnLeft, f.btnCenter, f.btnRight,
             f.btnParagraph}) {
        button->setIcon(PictureIcon(button->objectName()));
    }
    // The big buttons stand centred in the strip, inside its outline.
    for (QWidget* big :
         std::initializer_list<QWidget*>{f.btnCreate, f.btnPreview, f.btnSave, f.btnUpload}) {
        f.layButtons->setAlignment(big, Qt::AlignHCenter);
    }
    f.btnLeft->setToolButtonStyle(Qt::ToolButtonIconOnly);
    f.btnCenter->setToolButtonStyle(Qt::ToolButtonIconOnly);
    f.btnRight->setToolButtonStyle(Qt::ToolButtonIconOnly);
    alignGroup_ = new QButtonGroup(this);
    alignGroup_->addButton(f.btnLeft);
    alignGroup_->addButton(f.btnCenter);
    alignGroup_->addButton(f.btnRight);
    alignGroup_->setExclusive(true);
    ShowTrash(false);

    for (QWidget* watched :
         std::initializer_list<QWidget*>{f.lstPalette->viewport(), f.lstBlocks->viewport(),
                                         f.lstLinks->viewport(), f.imgTrash, f.pbButtons}) {
        watched->installEventFilter(this);
    }
    f.lstPalette->viewport()->setAcceptDrops(true);
    f.lstBlocks->viewport()->setAcceptDrops(true);
    f.lstLinks->viewport()->setAcceptDrops(true);
    f.imgTrash->setAcceptDrops(true);
    f.lstBlocks->viewport()->setMouseTracking(true);
}

void TfrmMain::FillPalette() {
    form_->lstPalette->clear();
    for (int i = 0; i < kPaletteCount; ++i) {
        const TBlockType kind = tessel::PaletteKind(i);
        form_->lstPalette->addItem(
            new QListWidgetItem(PictureIcon(QString::fromLatin1(BlockIconName(kind))),
                                QString::fromLatin1(BlockCaption(kind))));
    }
}

// Gives a control its help context and the "What's This?" menu that shows it.
void TfrmMain::AddWhatsThis(QWidget* control, int context) {
    control->setProperty("helpContext", context);
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, this,
            [this, control](const QPoint& pos) {
                popWhatsThisPopup(control, control->mapToGlobal(pos));
            });
}

void TfrmMain::AddContextHelp(QWidget& dialog) {
    for (QWidget* control : dialog.findChildren<QWidget*>()) {
        if (const int context = HelpContextOf(control); context != 0)
            AddWhatsThis(control, context);
    }
    if (env_.help != nullptr)
        AddHelpKey(dialog, *env_.help);
}

void TfrmMain::SetUpWhatsThis() {
    Ui::TfrmMain& f = *form_;
    const std::pair<QWidget*, int> contexts[] = {{f.lblPageTitle, kHelpPageTitle},
                                                 {f.chkLinkUnderline, kHelpNoUnderline},
                                                 {f.chkFitScreens, kHelpFitScreens},
                                                 {f.lblLanguage, kHelpFitScreens},
                                                 {f.cboLanguage, kHelpFitScreens},
                                                 {f.lblMeta, kHelpMetaTags},
                                                 {f.lstMeta, kHelpMetaTags},
                                                 {f.lblMetaName, kHelpMetaName},
                                                 {f.lblMetaContent, kHelpMetaContent},
                                                 {f.imgTrash, kHelpTrash},
                                                 {f.lblImageAlign, kHelpImageAlign},
                                                 {f.cbImageAlign, kHelpImageAlign},
                                                 {f.lblImageW, kHelpImageWidth},
                                                 {f.txtImageW, kHelpImageWidth},
                                                 {f.chkKeepProportions, kHelpImageWidth},
                                                 {f.lblImageH, kHelpImageHeight},
                                                 {f.txtImageH, kHelpImageHeight},
                                                 {f.lblImageFile, kHelpImageFile},
                                                 {f.txtImageFile, kHelpImageFile},
                                                 {f.sbImage, kHelpImagePreview},
                                                 {f.imgImageView, kHelpImagePreview},
                                                 {f.lblImageAlt, kHelpImageHint},
                                                 {f.txtImageAlt, kHelpImageHint},
                                                 {f.btnParagraph, kHelpNewParagraph},
                                                 {f.lblHeading, kHelpHeading},
                                                 {f.chkEmail, kHelpEmailLink},
                                                 {f.lblLinkText, kHelpLinkText},
                                                 {f.lblLinkAddress, kHelpLinkAddress},
                                                 {f.lblImageLink, kHelpImageLink},
                                                 {f.chkLink, kHelpDropBox},
                                                 {f.lstLinks, kHelpLinkList},
                                                 {f.lblTextDesc, kHelpParagraph},
                                                 {f.lblBulletStyle, kHelpBulletStyle},
                                                 {f.lblBulletsDesc, kHelpBulletText},
                                                 {f.lblHRSize, kHelpLineThickness},
                                                 {f.lblHRWidth, kHelpLineWidth},
                                                 {f.lstPalette, kHelpPalette},
                                                 {f.lstThemes, kHelpThemeList},
                                                 {f.browser, kHelpViewer},
                                                 {f.btnLeft, kHelpAlignLeft},
                                                 {f.btnCenter, kHelpAlignCenter},
                                                 {f.btnRight, kHelpAlignRight},
                                                 {f.lblNoShade, kHelpNoShade},
                                                 {f.chkNoShade, kHelpNoShade},
                                                 {f.btnUndo, kHelpUndo},
                                                 {f.btnRedo, kHelpUndo}};
    for (const auto& [control, context] : contexts) AddWhatsThis(control, context);

    // The block list, the button strip and the big buttons carry the block menu.
    f.lstBlocks->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(f.lstBlocks, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        popBlocksPopup(true);
        popBlocks_->popup(form_->lstBlocks->mapToGlobal(pos));
    });
    for (QWidget* control : std::initializer_list<QWidget*>{f.pbButtons, f.btnCreate, f.btnPreview,
                                                            f.btnSave, f.btnUpload}) {
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(control, &QWidget::customContextMenuRequested, this,
                [this, control](const QPoint& pos) {
                    popBlocksPopup(false);
                    popBlocks_->popup(control->mapToGlobal(pos));
                });
    }
}

// --- mouse and drag events ------------------------------------------------------------

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    Ui::TfrmMain& f = *form_;
    if (watched == f.pbButtons && event->type() == QEvent::Paint) {
        PaintButtonStrip();
        return true;
    }
    if (HandleDragEvent(watched, event))
        return true;
    if (IsTextUndoKey(watched, event))
        return true;
    if (IsHeadingEnter(watched, event) || IsListDeleteKey(watched, event) ||
        IsBlockListKey(watched, event))
        return true;

    const bool palette = watched == f.lstPalette->viewport();
    const bool blocks = watched == f.lstBlocks->viewport();
    const bool links = watched == f.lstLinks->viewport();
    if (!palette && !blocks && !links)
        return QWidget::eventFilter(watched, event);

    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        pressedSource_ = TDragSource::None;
        rowBeforePress_ = f.lstBlocks->currentRow();
        if (mouse->button() == Qt::LeftButton) {
            pressPos_ = mouse->position().toPoint();
            if (palette && f.lstPalette->indexAt(pressPos_).isValid()) {
                pressedSource_ = TDragSource::Palette;
            } else if (blocks && f.lstBlocks->indexAt(pressPos_).row() > 0) {
                pressedSource_ = TDragSource::Blocks;
            } else if (links) {
                pressedSource_ = TDragSource::Links;
            }
        }
    } else if (event->type() == QEvent::MouseMove) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (blocks)
            lstBlocksMouseMove();
        if (pressedSource_ != TDragSource::None && (mouse->buttons() & Qt::LeftButton) &&
            (mouse->position().toPoint() - pressPos_).manhattanLength() >=
                QApplication::startDragDistance()) {
            const TDragSource source = pressedSource_;
            pressedSource_ = TDragSource::None;
            StartDrag(source);
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        pressedSource_ = TDragSource::None;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMain::StartDrag(TDragSource source) {
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setData(kDragFormat, DragName(source));
    drag->setMimeData(data);
    if (source == TDragSource::Palette || source == TDragSource::Links) {
        const QCursor cursor = ProgramCursor(QStringLiteral("NEWDRAG"));
        drag->setDragCursor(cursor.pixmap(), Qt::MoveAction);
        ui_.ExecDrag(*drag, Qt::MoveAction);
    } else {
        // Blocks are moved with the four-way move arrow.
        QApplication::setOverrideCursor(Qt::SizeAllCursor);
        ui_.ExecDrag(*drag, Qt::MoveAction);
        QApplication::restoreOverrideCursor();
    }
    form_->shp->hide();
}

bool TfrmMain::HandleDragEvent(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop &&
        type != QEvent::DragLeave) {
        return false;
    }
    Ui::TfrmMain& f = *form_;
    if (type == QEvent::DragLeave) {
        if (watched == f.lstBlocks->viewport())
            f.shp->hide();
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const TDragSource source = drop->source() != nullptr && drop->source() != this
                                   ? TDragSource::None
                                   : DragSourceOf(drop);
    const QPoint pos = drop->position().toPoint();
    bool accepted = false;
    if (watched == f.lstBlocks->viewport()) {
        accepted = lstBlocksDragOver(source, pos);
        if (accepted && type == QEvent::Drop)
            lstBlocksDragDrop(source, BlockTargetAt(pos));
    } else if (watched == f.lstPalette->viewport()) {
        accepted = lstPaletteDragOver(source);
    } else if (watched == f.lstLinks->viewport()) {
        accepted = lstLinksDragOver(source);
        if (accepted && type == QEvent::Drop)
            lstLinksDragDrop(source, f.lstLinks->indexAt(pos).row());
    } else if (watched == f.imgTrash) {
        accepted = imgTrashDragOver(source);
        if (accepted && type == QEvent::Drop)
            imgTrashDragDrop(source);
    } else {
        return false;
    }
    if (accepted) {
        drop->setDropAction(Qt::MoveAction);
        drop->accept();
    } else {
        drop->ignore();
    }
    return true;
}

}  // namespace tessel
