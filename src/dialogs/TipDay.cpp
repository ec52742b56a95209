#include "dialogs/TipDay.h"

#include <QRandomGenerator>

#include "platform/gui/Pictures.h"
#include "platform/gui/TextConvert.h"
#include "ui_TipDay.h"

namespace tessel {

TfrmTips::TfrmTips(const QString& programFolder, TStoreShowAtStart storeShowAtStart,
                   TRandomBelow random, QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TfrmTips>()),
      storeShowAtStart_(std::move(storeShowAtStart)),
      random_(std::move(random)) {
    ui_->setupUi(this);
    if (!random_) {
        random_ = [](int bound) {
            return static_cast<int>(QRandomGenerator::global()->bounded(bound));
        };
    }

    QPalette white = ui_->pnlTip->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    ui_->pnlTip->setPalette(white);
    QFont heading = ui_->lblHeading->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    ui_->lblHeading->setFont(heading);
    ui_->imgTip->setPixmap(Picture("imgTip", QSize(32, 32)));

    connect(ui_->btnNext, &QPushButton::clicked, this, &TfrmTips::btnNextClick);
    connect(ui_->btnClose, &QPushButton::clicked, this, &TfrmTips::btnCloseClick);

    tips_ = TTips::LoadFile(FromQt(programFolder) + "Tips.txt");
    if (!tips_ || tips_->Empty()) {
        tips_.reset();
        ui_->btnNext->setEnabled(false);
        ui_->lblTip->setText(ToQt(TipsLoadFailureText(FromQt(programFolder))));
    } else {
        ShowRandomTip();
    }
    ui_->btnNext->setFocus();
}

TfrmTips::~TfrmTips() = default;

void TfrmTips::SetShowAtStart(bool showAtStart) {
    ui_->chkShow->setChecked(showAtStart);
}

void TfrmTips::done(int result) {
    if (storeShowAtStart_)
        storeShowAtStart_(ui_->chkShow->isChecked());
    QDialog::done(result);
}

void TfrmTips::btnNextClick() {
    if (tips_)
        ShowRandomTip();
}

void TfrmTips::btnCloseClick() {
    reject();
}

void TfrmTips::ShowRandomTip() {
    ui_->lblTip->setText(ToQt(tips_->Draw(random_)));
}

}  // namespace tessel
