#pragma once

// The findings of the check before sending, in one short list: "Send anyway" accepts,
// "Go back" rejects.

#include <QDialog>
#include <memory>
#include <vector>

#include "publish/core/SendCheck.h"

namespace Ui {
class TfrmSendCheck;
}

namespace tessel {

class TfrmSendCheck : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmSendCheck(const std::vector<TSendFinding>& findings, QWidget* parent = nullptr);
    ~TfrmSendCheck() override;

    Ui::TfrmSendCheck& Form() const { return *form_; }

  private:
    std::unique_ptr<Ui::TfrmSendCheck> form_;
};

}  // namespace tessel
