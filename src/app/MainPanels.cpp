// Filling each editor panel from its block (Show) and copying it back (Store).

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/Main.h"
#include "app/core/PageLanguages.h"
#include "app/core/PanelRules.h"
#include "document/Exceptions.h"
#include "pagerules/PictureNames.h"
#include "pagerules/ProgramPaths.h"
#include "platform/gui/DesktopLanguage.h"
#include "platform/gui/TextConvert.h"
#include "platform/gui/UpDown.h"
#include "ui_Main.h"

namespace tessel {
namespace {

QStringList ToQtLineList(const std::string& text) {
    QStringList lines;
    for (const std::string& line : SplitLines(text)) lines << ToQt(line);
    return lines;
}

std::string FromQtLineList(const QStringList& lines) {
    std::vector<std::string> bytes;
    for (const QString& line : lines) bytes.push_back(FromQt(line));
    return JoinLines(bytes);
}

}  // namespace

void TfrmMain::ShowPanel(TPageItem& block) {
    Ui::TfrmMain& f = *form_;
    QWidget* panel = nullptr;
    switch (block.BlockType) {
        case btPageProperties:
            ShowPageProperties(block.PagePropertiesBlock());
            panel = f.pnlPageProp;
            break;
        case btHeading: {
            THeadingBlock& heading = block.HeadingBlock();
            f.txtHeading->setPlainText(ToQtLines(heading.Heading));
            ShowMemoFont(0, heading.Attributes, heading.ApplyFont);
            panel = f.pnlHeading;
            break;
        }
        case btImage:
            ShowImage(block.ImageBlock());
            panel = f.pnlImages;
            break;
        case btLink:
            ShowLink(block.LinkBlock());
            panel = f.pnlLinks;
            break;
        case btText: {
            TTextBlock& text = block.TextBlock();
            f.txtText->setPlainText(ToQtLines(text.Text));
            ShowMemoFont(1, text.Attributes, text.ApplyFont);
            panel = f.pnlText;
            break;
        }
        case btBullet: {
            TBulletBlock& bullets = block.BulletBlock();
            f.txtBullets->setPlainText(ToQtLines(bullets.Bullets));
            f.cbBullets->setCurrentIndex(bullets.Style <= lsLoCaseRoman ? bullets.Style : -1);
            panel = f.pnlBullets;
            break;
        }
        case btHR:
            ShowLine(block.HRBlock());
            panel = f.pnlHR;
            break;
        case btForms:
            ShowForms();
            panel = f.pnlForms;
            break;
    }
    if (panel != nullptr) {
        f.pnlPanels->setCurrentWidget(panel);
        panel->show();
    }
}

void TfrmMain::StorePanel(TPageItem& block) {
    Ui::TfrmMain& f = *form_;
    switch (block.BlockType) {
        case btPageProperties:
            StorePageProperties(block.PagePropertiesBlock());
            break;
        case btHeading: {
            THeadingBlock& heading = block.HeadingBlock();
            heading.Heading = FromQtLines(f.txtHeading->toPlainText());
            heading.Attributes = FontToDescription(headingFont_);
            heading.ApplyFont = static_cast<uint8_t>(headingFontChosen_);
            break;
        }
        case btImage:
            StoreImage(block.ImageBlock());
            break;
        case btLink:
            StoreLink(block.LinkBlock());
            break;
        case btText: {
            TTextBlock& text = block.TextBlock();
            text.Text = FromQtLines(f.txtText->toPlainText());
            text.Attributes = FontToDescription(textFont_);
            text.ApplyFont = static_cast<uint8_t>(textFontChosen_);
            break;
        }
        case btBullet: {
            TBulletBlock& bullets = block.BulletBlock();
            bullets.Bullets = FromQtLines(f.txtBullets->toPlainText());
            if (f.cbBullets->currentIndex() >= 0) {
                bullets.Style = static_cast<TListStyle>(f.cbBullets->currentIndex());
            }
            break;
        }
        case btHR:
            StoreLine(block.HRBlock());
            break;
        case btForms:
            // The fields and options go into the document directly; only the edits wait.
            StoreForms();
            break;
    }
}

void TfrmMain::ShowPageProperties(TPagePropertiesBlock& values) {
    Ui::TfrmMain& f = *form_;
    f.txtPageTitle->setText(ToQt(values.PageTitle));
    f.chkLinkUnderline->setChecked(values.Underline);
    f.chkFitScreens->setChecked(values.FitScreens);
    // A page that states no language is offered the desktop's.
    f.cboLanguage->setCurrentText(
        ToQt(LanguageChoiceText(values.Language.empty() ? DesktopLanguage() : values.Language)));
    chkFitScreensClick();
    f.lstMeta->SetLines(ToQtLineList(values.MetaText));
    lstMetaClick();
}

void TfrmMain::chkFitScreensClick() {
    form_->pnlLanguage->setVisible(form_->chkFitScreens->isChecked());
}

void TfrmMain::StorePageProperties(TPagePropertiesBlock& values) {
    Ui::TfrmMain& f = *form_;
    values.PageTitle = FromQt(f.txtPageTitle->text());
    values.Underline = f.chkLinkUnderline->isChecked();
    values.FitScreens = f.chkFitScreens->isChecked();
    // Unticked, the option leaves the language as it was: a page that never had the option
    // keeps its bytes.
    if (values.FitScreens)
        values.Language = LanguageTagOf(FromQt(f.cboLanguage->currentText()));
    values.MetaText = FromQtLineList(f.lstMeta->Lines());
}

void TfrmMain::ShowMemoFont(int tag, const std::string& attributes, int fontChosen) {
    (tag == 0 ? headingFontChosen_ : textFontChosen_) = fontChosen;
    try {
        DescriptionToFont(attributes, tag == 0 ? headingFont_ : textFont_);
    } catch (const std::exception&) {
        // A description that cannot be read leaves the memo's font as it was.
    }
    ApplyMemoFont(tag);
}

void TfrmMain::ApplyMemoFont(int tag) {
    const TFontValue& value = tag == 0 ? headingFont_ : textFont_;
    QPlainTextEdit* memo = Memo(tag);
    QFont font(ToQt(value.Name));
    if (value.Size > 0)
        font.setPointSize(value.Size);
    font.setBold(value.Bold);
    font.setItalic(value.Italic);
    font.setUnderline(value.Underline);
    memo->setFont(font);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Text, QColor(GetRValue(value.Color), GetGValue(value.Color),
                                            GetBValue(value.Color)));
    memo->setPalette(palette);
}

QPlainTextEdit* TfrmMain::Memo(int tag) const {
    return tag == 0 ? form_->txtHeading : form_->txtText;
}

void TfrmMain::ShowImage(TImageBlock& values) {
    Ui::TfrmMain& f = *form_;
    f.txtImageFile->setText(ToQt(values.FileName));
    f.txtImageH->setText(ToQt(values.Height));
    f.txtImageW->setText(ToQt(values.Width));
    f.txtImageAlt->setText(ToQt(values.Alt));
    f.txtImageLink->setText(ToQt(values.ImageLink));
    f.cbImageAlign->setCurrentText(ToQt(values.Align));
    const std::string folder = env_.programFolder + kImagesFolder;
    previewPath_ = ToQt(folder + values.FileName);
    f.imgImageView->setToolTip(previewPath_);
    // Only a plain name inside the images folder is ever looked at.
    const std::string path = PictureFilePath(folder, values.FileName);
    if (!path.empty() && QFileInfo(ToQt(path)).isFile()) {
        f.lblImageError->hide();
        LoadPreviewPicture(ToQt(path));
    } else {
        f.imgImageView->clear();
        f.imgImageView->resize(0, 0);
        const QSize box = f.pnlImageBox->size();
        f.lblImageError->move((box.width() - f.lblImageError->width()) / 2,
                              (box.height() - f.lblImageError->height()) / 2);
        f.lblImageError->show();
    }
    CenterInScrollBox();
}

void TfrmMain::StoreImage(TImageBlock& values) {
    Ui::TfrmMain& f = *form_;
    values.Height = FromQt(f.txtImageH->text());
    values.Width = FromQt(f.txtImageW->text());
    values.Alt = FromQt(f.txtImageAlt->text());
    values.ImageLink = FromQt(f.txtImageLink->text());
    values.Align = FromQt(f.cbImageAlign->currentText());
    values.FileName = FileNameOf(FromQt(previewPath_));
}

void TfrmMain::ShowLink(TLinkBlock& values) {
    Ui::TfrmMain& f = *form_;
    f.txtLinkAddress->setText(ToQt(values.LinkURL));
    f.txtLinkText->setText(ToQt(values.LinkText));
    f.chkEmail->setChecked(values.Email);
    f.lstLinks->SetLines(ToQtLineList(values.DropBoxText));
    f.chkLink->setChecked(values.UseDropBox);
    chkLinkClick();
}

void TfrmMain::StoreLink(TLinkBlock& values) {
    Ui::TfrmMain& f = *form_;
    values.LinkURL = FromQt(f.txtLinkAddress->text());
    values.LinkText = FromQt(f.txtLinkText->text());
    values.UseDropBox = f.chkLink->isChecked();
    values.Email = f.chkEmail->isChecked();
    values.DropBoxText = FromQtLineList(f.lstLinks->Lines());
}

void TfrmMain::ShowLine(THRBlock& values) {
    Ui::TfrmMain& f = *form_;
    f.cbHR->setCurrentIndex(values.Size >= 0 && values.Size < f.cbHR->count() ? values.Size : -1);
    cbHRChange();
    {
        const QSignalBlocker blocker(f.updnHRWidth);
        f.updnHRWidth->setValue(values.Width);
    }
    f.txtHRWidth->setText(QString::number(f.updnHRWidth->value()));
    f.bevHR->resize(LinePreviewWidth(f.updnHRWidth->value(), fullLineWidth_), f.bevHR->height());
    f.chkNoShade->setChecked(values.NoShade);
}

void TfrmMain::StoreLine(THRBlock& values) {
    Ui::TfrmMain& f = *form_;
    values.Size = f.cbHR->currentIndex();
    values.Width = f.updnHRWidth->value();
    values.NoShade = f.chkNoShade->isChecked();
}

}  // namespace tessel
