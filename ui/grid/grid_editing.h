#pragma once
// What a grid does to its data set's records: the cell editor and its text,
// posting or cancelling a record that is left, inserting, appending,
// deleting and cancelling. A new record counts as touched once the grid
// wrote a value into it; an untouched one is cancelled when left.

class QString;

namespace ui {

class CellEditor;
class DBGrid;
class DBGridPrivate;

class GridEditing {
public:
    static constexpr const char* kDeleteRecordQuestion = "Delete record?";

    GridEditing(DBGrid& grid, DBGridPrivate& d);

    CellEditor* editor() const { return editor_; }
    void setTouched(bool touched) { touched_ = touched; }
    bool untouchedInsert() const;

    bool canInsert() const;
    bool canEditCell() const;

    // Posts a changed record, cancels an untouched one; false when posting failed.
    bool leaveRecord();
    void appendRecord();
    void insertRecord();
    // Asks "Delete record?" first.
    void deleteRecord();
    // Reverts a pending cell edit, or else cancels the record's edit or insert.
    void cancelEdits();
    // The current column's value of the record above, when that row is shown.
    void copyFromPreviousRecord();

    // Opens the editor with text, or with the field's text when empty.
    void showEditor(const QString& text);
    void hideEditor();
    // Hands the editor's text to its field; false when the field refused it.
    bool writeEditor();
    // The same, letting the field's error go to the caller.
    void storeEditor();
    void placeEditor();

private:
    DBGrid& grid_;
    DBGridPrivate& d_;
    CellEditor* editor_;
    bool touched_ = false;
};

} // namespace ui
