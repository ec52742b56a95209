#include "platform/gui/HelpViewer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <utility>

#include "platform/HelpContexts.h"

namespace tessel {

THelpViewer::THelpViewer(QString helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window),
      folder_(std::move(helpFolder)),
      browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(tr("Brindle HTML Tessel Help"));
    resize(640, 520);
    browser_->setObjectName(QStringLiteral("browser"));
    browser_->setSearchPaths({folder_});
    browser_->setOpenExternalLinks(true);

    auto* contents = new QPushButton(tr("&Contents"), this);
    contents->setObjectName(QStringLiteral("btnContents"));
    auto* back = new QPushButton(tr("&Back"), this);
    back->setObjectName(QStringLiteral("btnBack"));
    auto* close = new QPushButton(tr("C&lose"), this);
    close->setObjectName(QStringLiteral("btnClose"));
    back->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, &THelpViewer::ShowContents);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &THelpViewer::CloseHelp);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
}

void THelpViewer::ShowContents() {
    ShowPage(folder_ + QString::fromLatin1(kHelpContentsFileName));
}

void THelpViewer::ShowGettingStarted() {
    ShowPage(folder_ + QString::fromLatin1(kHelpGettingStartedFileName));
}

bool THelpViewer::ShowTopic(int context) {
    const QString path = TopicPath(context);
    if (path.isEmpty()) {
        ShowContents();
        return false;
    }
    ShowPage(path);
    return true;
}

bool THelpViewer::PopUpTopic(int context, const QPoint& globalPos) const {
    const QString html = PopUpHtml(context);
    if (html.isEmpty()) {
        return false;
    }
    QWhatsThis::showText(globalPos, html);
    return true;
}

QString THelpViewer::PopUpHtml(int context) const {
    QString html = TopicHtml(context);
    // A pop-up cannot follow links, so the page's way back to the contents goes; nor does it
    // know the help folder, so the screenshots go too (the help window shows them).
    html.remove(QRegularExpression(QStringLiteral("<p class=\"(nav|picture)\">.*</p>")));
    return html;
}

void THelpViewer::CloseHelp() {
    close();
}

QString THelpViewer::TopicPath(int context) const {
    const QString path = folder_ + QString::fromStdString(HelpTopicFileName(context));
    return QFileInfo::exists(path) ? path : QString();
}

QString THelpViewer::TopicHtml(int context) const {
    QFile file(TopicPath(context));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

void THelpViewer::ShowPage(const QString& path) {
    browser_->setSource(QUrl::fromLocalFile(path));
    // Asked for from inside a modal dialog (a message box's Help button), the window must be
    // modal itself, or the dialog would block it.
    QWidget* modal = QApplication::activeModalWidget();
    const bool overModal = modal && modal != this;
    const Qt::WindowModality wanted = overModal ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    show();
    raise();
    activateWindow();
}

}  // namespace tessel
