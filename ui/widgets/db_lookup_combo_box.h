#pragma once
// A drop-down list that shows, for a chosen key, the matching name of a list
// data set. Until a list data set is attached it offers nothing and its text
// is empty.

#include <QComboBox>
#include <QString>

namespace ui {

class DBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);

    // The name shown for the chosen key; empty while nothing is chosen.
    QString text() const { return currentText(); }
};

} // namespace ui
