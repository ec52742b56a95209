#pragma once

// The help window: the contents page and one topic page per help context number, read
// from the help folder; "What's This?" pops up a topic's text beside the pointer.

#include <QPoint>
#include <QString>
#include <QWidget>

class QTextBrowser;

namespace tessel {

class THelpViewer : public QWidget {
    Q_OBJECT

  public:
    // `helpFolder` holds index.html and the topic pages; it ends in "/".
    explicit THelpViewer(QString helpFolder, QWidget* parent = nullptr);

    void ShowContents();
    void ShowGettingStarted();
    // Shows the topic of a help context; false (and the contents shown) when it has none.
    bool ShowTopic(int context);
    // The topic's text in a pop-up window at `globalPos`; false when it has none.
    bool PopUpTopic(int context, const QPoint& globalPos) const;
    void CloseHelp();

    // The full path of a context's topic page, or empty when there is none.
    QString TopicPath(int context) const;
    // The topic page as HTML, or empty when there is none.
    QString TopicHtml(int context) const;
    // The topic as its pop-up shows it: without links and pictures.
    QString PopUpHtml(int context) const;
    QTextBrowser* Browser() const { return browser_; }

  private:
    void ShowPage(const QString& path);

    QString folder_;
    QTextBrowser* browser_;
};

}  // namespace tessel
