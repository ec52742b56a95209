#pragma once

// A list box that keeps its horizontal scroll range fitted to its widest line and shows
// the text after a TAB as a second column.

#include <QListWidget>
#include <QStringList>

namespace tessel {

class TListBoxHrz : public QListWidget {
    Q_OBJECT

  public:
    explicit TListBoxHrz(QWidget* parent = nullptr);

    // The horizontal scroll range in pixels.
    int CurrentWidth() const { return currentWidth_; }
    // Distance between tab stops in dialog units (a quarter of the average character width).
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int dialogUnits);
    int TabPixels() const;

    void AddLine(const QString& line);
    void InsertLine(int row, const QString& line);
    void ReplaceLine(int row, const QString& line);
    void DeleteLine(int row);
    void ClearLines();
    void SetLines(const QStringList& lines);
    QStringList Lines() const;
    QString Line(int row) const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    int LineWidth(const QString& line) const;
    void Refit();
    void Grow(const QString& line);

    int currentWidth_ = 0;
    int tabWidth_ = 0;
};

}  // namespace tessel
