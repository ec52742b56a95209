#include "publish/gui/SendCheckDialog.h"

#include <QPushButton>

#include "platform/gui/TextConvert.h"
#include "ui_SendCheckDialog.h"

namespace tessel {

TfrmSendCheck::TfrmSendCheck(const std::vector<TSendFinding>& findings, QWidget* parent, TMend mend)
    : QDialog(parent),
      form_(std::make_unique<Ui::TfrmSendCheck>()),
      findings_(findings),
      mend_(std::move(mend)) {
    Ui::TfrmSendCheck& f = *form_;
    f.setupUi(this);
    QWidget* previous = f.lstFindings;
    for (int i = 0; i < static_cast<int>(findings_.size()); ++i) {
        const TSendFinding& finding = findings_[i];
        f.lstFindings->addItem(ToQt(finding.text));
        QPushButton* button = nullptr;
        if (finding.fix && mend_) {
            button = new QPushButton(ToQt(finding.fixCaption), this);
            button->setObjectName(QStringLiteral("btnFix%1").arg(i));
            button->setAccessibleDescription(ToQt(finding.text));
            button->setAutoDefault(false);
            f.layFixes->addWidget(button);
            connect(button, &QPushButton::clicked, this, [this, i] { FixClicked(i); });
            setTabOrder(previous, button);
            previous = button;
        }
        fixButtons_.push_back(button);
    }
    setTabOrder(previous, f.btnGoBack);
    setTabOrder(f.btnGoBack, f.btnSendAnyway);
    connect(f.btnSendAnyway, &QPushButton::clicked, this, &QDialog::accept);
    connect(f.btnGoBack, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmSendCheck::~TfrmSendCheck() = default;

QPushButton* TfrmSendCheck::FixButton(int index) const {
    if (index < 0 || index >= static_cast<int>(fixButtons_.size()))
        return nullptr;
    return fixButtons_[index];
}

void TfrmSendCheck::FixClicked(int index) {
    if (!mend_(findings_[index]))
        return;
    // Mended: the line says so, and the button has done its work.
    QListWidgetItem* line = form_->lstFindings->item(index);
    line->setText(tr("Mended: %1").arg(line->text()));
    fixButtons_[index]->setEnabled(false);
    // With every finding mended there is nothing to send "anyway".
    if (++mended_ == static_cast<int>(findings_.size()))
        form_->btnSendAnyway->setText(tr("&Send"));
    form_->btnSendAnyway->setFocus();
}

}  // namespace tessel
