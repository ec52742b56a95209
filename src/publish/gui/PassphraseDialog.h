#pragma once

// Asks for the passphrase of an SSH key file at the start of a send. What is typed is used
// for that send only and never stored.

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmPassphrase;
}

namespace tessel {

class TfrmPassphrase : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmPassphrase(const QString& keyFile, QWidget* parent = nullptr);
    ~TfrmPassphrase() override;

    Ui::TfrmPassphrase& Form() const { return *form_; }
    QString Passphrase() const;

  private:
    std::unique_ptr<Ui::TfrmPassphrase> form_;
};

}  // namespace tessel
