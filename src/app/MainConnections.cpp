// Which signal of which control runs which handler of the main window.

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QToolButton>

#include "app/Main.h"
#include "ui_Main.h"

namespace tessel {

void TfrmMain::ConnectHandlers() {
    Ui::TfrmMain& f = *form_;
    connect(f.lstPalette, &QListWidget::currentRowChanged, this, &TfrmMain::lstPaletteClick);
    // A click that changes the selection arrives as a row change (so does the keyboard); a
    // click on the entry already selected only as a click.
    connect(f.lstBlocks, &QListWidget::currentRowChanged, this, [this] {
        if (!selectingInCode_)
            lstBlocksClick();
    });
    connect(f.lstBlocks, &QListWidget::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == rowBeforePress_)
            lstBlocksClick();
    });
    connect(f.Splitter, &QSplitter::splitterMoved, this, &TfrmMain::FormResize);

    connect(f.btnNew, &QPushButton::clicked, this, &TfrmMain::mnuNewClick);
    connect(f.btnChooseTemplate, &QPushButton::clicked, this, &TfrmMain::btnChooseTemplateClick);
    connect(f.btnTemplate, &QPushButton::clicked, this, &TfrmMain::mnuCreateTemplateClick);
    connect(f.btnSave, &QToolButton::clicked, this, &TfrmMain::mnuSaveClick);
    connect(f.btnHelp, &QPushButton::clicked, this, &TfrmMain::mnuHelpContentsClick);
    connect(f.btnHosting, &QPushButton::clicked, this, &TfrmMain::mnuHelpHostingClick);
    connect(f.btnCustom, &QPushButton::clicked, this, &TfrmMain::btnCustomClick);

    connect(f.btnHeadingFont, &QPushButton::clicked, this, [this] { btnHeadingFontClick(0); });
    connect(f.btnTextFont, &QPushButton::clicked, this, [this] { btnHeadingFontClick(1); });
    connect(f.btnTextImport, &QPushButton::clicked, this, [this] { btnTextImportClick(false); });
    connect(f.btnBulletImport, &QPushButton::clicked, this, [this] { btnTextImportClick(true); });
    connect(f.btnImagePic, &QPushButton::clicked, this, &TfrmMain::btnImagePicClick);
    connect(f.btnLinkBrowse, &QPushButton::clicked, this, [this] { btnLinkBrowseClick(0); });
    connect(f.btnImageLink, &QPushButton::clicked, this, [this] { btnLinkBrowseClick(1); });
    connect(f.btnLinkIE, &QPushButton::clicked, this, [this] { btnLinkIEClick(0); });
    connect(f.btnImageIE, &QPushButton::clicked, this, [this] { btnLinkIEClick(1); });
    connect(f.btnLinkNetscape, &QPushButton::clicked, this, [this] { btnLinkNetscapeClick(0); });
    connect(f.btnImageNetscape, &QPushButton::clicked, this, [this] { btnLinkNetscapeClick(1); });

    connect(f.chkLink, &QCheckBox::toggled, this, &TfrmMain::chkLinkClick);
    connect(f.btnLinkAdd, &QPushButton::clicked, this, &TfrmMain::btnLinkAddClick);
    connect(f.btnLinkRemove, &QPushButton::clicked, this, &TfrmMain::btnLinkRemoveClick);
    connect(f.btnLinkEdit, &QPushButton::clicked, this, &TfrmMain::btnLinkEditClick);
    connect(f.lstLinks, &QListWidget::itemSelectionChanged, this, &TfrmMain::lstLinksClick);
    connect(f.lstLinks, &QListWidget::itemDoubleClicked, this, &TfrmMain::lstLinksDblClick);

    connect(f.lstMeta, &QListWidget::itemSelectionChanged, this, &TfrmMain::lstMetaClick);
    connect(f.lstMeta, &QListWidget::itemDoubleClicked, this, &TfrmMain::btnMetaEditClick);
    connect(f.btnMetaAdd, &QPushButton::clicked, this, &TfrmMain::btnMetaAddClick);
    connect(f.btnMetaRemove, &QPushButton::clicked, this, &TfrmMain::btnMetaRemoveClick);
    connect(f.btnMetaEdit, &QPushButton::clicked, this, &TfrmMain::btnMetaEditClick);

    connect(f.cbHR, &QComboBox::currentIndexChanged, this, &TfrmMain::cbHRChange);
    connect(f.updnHRWidth, &QScrollBar::valueChanged, this, &TfrmMain::updnHRWidthClick);
    connect(f.btnTheme, &QPushButton::clicked, this, [this] { btnThemeClick(false); });
    connect(f.btnThemeEdit, &QPushButton::clicked, this, [this] { btnThemeClick(true); });

    ConnectPreview();

    // The heading is one paragraph: Enter does not break it.
    f.txtHeading->installEventFilter(this);
}

bool TfrmMain::IsHeadingEnter(QObject* watched, QEvent* event) const {
    if (watched != form_->txtHeading || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace tessel
