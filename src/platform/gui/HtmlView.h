#pragma once

// The HTML viewer of the preview and the template browser. It shows a page with its local
// pictures the way a browser does, as far as Qt's rich text allows: before loading, a
// mapping pass (platform/HtmlMapping.h) turns what Qt would ignore into style sheet rules and
// drawn pictures. It never navigates: a link click is reported, and one the owner does not
// handle only scrolls to an anchor of the page itself.

#include <QStringList>
#include <QTextBrowser>
#include <memory>
#include <string>
#include <vector>

#include "platform/HtmlMapping.h"

namespace tessel {

class THtmlPictureObject;

class THtmlView : public QTextBrowser {
    Q_OBJECT

  public:
    explicit THtmlView(QWidget* parent = nullptr);
    ~THtmlView() override;

    void Clear();
    // The folder that relative picture paths and a leading "/" start from.
    void SetServerRoot(const QString& folder);
    QString ServerRoot() const;
    // Shows the page given as its lines of bytes (joined with line ends), decoded by the
    // charset it declares. Nothing in the page makes this fail; what cannot be shown is left
    // out.
    void LoadLines(const std::vector<std::string>& lines);
    void LoadText(const std::string& bytes);

    void SetDefaultFont(const QString& family);
    void SetDefaultFixedFont(const QString& family);
    QString DefaultFont() const { return defaultFont_; }
    QString DefaultFixedFont() const { return fixedFont_; }

    // What the last load made of the page.
    const TMappedPage& Mapped() const { return mapped_; }
    // Whether the page's picture `index` could not be loaded (its ALT text shows instead).
    bool PictureMissing(size_t index) const {
        return index < missingPictures_.size() && missingPictures_[index];
    }

  signals:
    // A click on a link. Set *handled to true to have nothing else happen.
    void HotSpotClick(const QUrl& url, bool* handled);

  private:
    void AnchorClicked(const QUrl& url);
    void ApplyFonts();
    void ApplyColours();
    void AddPictures();
    void AddControls();
    void AddBackground();

    QString defaultFont_ = QStringLiteral("Times New Roman");
    QString fixedFont_ = QStringLiteral("Courier New");
    TMappedPage mapped_;
    std::vector<bool> missingPictures_;
    std::unique_ptr<THtmlPictureObject> pictureObject_;
};

}  // namespace tessel
