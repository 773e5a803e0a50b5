#pragma once
// A panel with an outer and an inner one-pixel bevel and an optional caption
// centred in it, painted on the button-face colour.

#include <QString>
#include <QWidget>

namespace ui {

class BevelPanel : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { None, Raised, Lowered };

    explicit BevelPanel(QWidget* parent = nullptr);

    void setBevels(Bevel outer, Bevel inner);
    Bevel outerBevel() const { return outer_; }
    Bevel innerBevel() const { return inner_; }

    // The width taken by the bevels on each side.
    int bevelWidth() const;

    void setCaption(const QString& caption);
    const QString& caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bevel outer_ = Bevel::Raised;
    Bevel inner_ = Bevel::None;
    QString caption_;
};

} // namespace ui
