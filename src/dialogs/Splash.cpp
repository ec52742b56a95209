#include "dialogs/Splash.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "html/MakerAddresses.h"
#include "platform/gui/Pictures.h"

namespace tessel {
namespace {

constexpr QSize kSplashSize(400, 320);

void ScheduleWithQtTimer(QObject* context, int milliseconds, std::function<void()> fire) {
    QTimer::singleShot(milliseconds, context, std::move(fire));
}

// The maker's address as people type it: without the scheme and the closing slash.
QString ShownWebAddress() {
    QString address = QString::fromLatin1(kMakerWebAddress);
    address.remove(QStringLiteral("http://"));
    if (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

}  // namespace

TSplashScreen::TSplashScreen(QWidget* parent, TScheduleOnce schedule)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      imgSplash_(new QLabel(this)),
      lbl_(new QLabel(this)) {
    setObjectName(QStringLiteral("TSplashScreen"));
    setFixedSize(kSplashSize);

    imgSplash_->setObjectName(QStringLiteral("imgSplash"));
    imgSplash_->setGeometry(QRect(QPoint(0, 0), kSplashSize));
    imgSplash_->setPixmap(Picture(QStringLiteral("splash"), kSplashSize));
    SetPictureEnabled(false);  // no clicks during start-up
    imgSplash_->installEventFilter(this);

    lbl_->setObjectName(QStringLiteral("lbl"));
    lbl_->setText(ShownWebAddress());
    QPalette white = lbl_->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    lbl_->setPalette(white);
    lbl_->setCursor(Qt::PointingHandCursor);
    lbl_->adjustSize();
    lbl_->move(24, kSplashSize.height() - lbl_->height() - 8);  // under the title text
    lbl_->setVisible(false);
    lbl_->installEventFilter(this);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), kSplashSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    if (!schedule)
        schedule = ScheduleWithQtTimer;
    schedule(this, kMinimumShowMs, [this] { TimerTimer(); });
}

void TSplashScreen::PrepareAsAbout() {
    SetTimerEnabled(false);
    SetPictureEnabled(true);
    lbl_->setVisible(true);
}

// Not QWidget::setEnabled: a disabled label would paint the splash greyed out.
void TSplashScreen::SetPictureEnabled(bool enabled) {
    pictureEnabled_ = enabled;
    imgSplash_->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

void TSplashScreen::ShowAtStart() {
    show();
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSplashScreen::WaitUntilClosable() {
    while (!CanClose()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TSplashScreen::done(int result) {
    if (CanClose())
        QDialog::done(result);
}

void TSplashScreen::closeEvent(QCloseEvent* event) {
    if (CanClose()) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

bool TSplashScreen::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == imgSplash_ && PictureEnabled())
            imgSplashClick();
        if (watched == lbl_)
            lblClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TSplashScreen::TimerTimer() {
    SetTimerEnabled(false);
}

void TSplashScreen::imgSplashClick() {
    close();
}

void TSplashScreen::lblClick() {
    if (openWebSite_)
        openWebSite_();
    close();
}

}  // namespace tessel
