#pragma once
// A data grid: a title row over one row per record of its data set, with a
// row indicator column at the left. Until a data set is attached it shows its
// column titles and no rows.

#include <QAbstractScrollArea>
#include <QList>
#include <QString>

namespace ui {

struct GridColumn {
    QString fieldName;
    QString title;
    int width = 0; // pixels
};

class DBGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Flat: a thin single-line border; Sunken3D: the sunken 3-D client edge.
    enum class Look { Flat, Sunken3D };

    static constexpr int kIndicatorWidth = 11;

    explicit DBGrid(QWidget* parent = nullptr);

    void setLook(Look look);
    Look look() const { return look_; }

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return columns_; }

    // The width of a column showing displayWidth characters in the grid font.
    int defaultColumnWidth(int displayWidth) const;

    // Text height plus a small margin.
    int rowHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look look_ = Look::Sunken3D;
    QList<GridColumn> columns_;
};

} // namespace ui
