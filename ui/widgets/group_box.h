#pragma once
// A group box drawn as on the classic desktop: an etched frame whose top line
// runs through the middle of the caption, with the caption near the left.
// Children are placed from the box's own top-left corner.

#include <QString>
#include <QWidget>

namespace ui {

class GroupBox : public QWidget {
    Q_OBJECT
public:
    explicit GroupBox(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    const QString& title() const { return title_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString title_;
};

} // namespace ui
