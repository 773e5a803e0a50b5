// API: ready
#pragma once
// The link between a client data set and the widgets that show it. A data
// grid, a record navigator or a lookup list observes a DataSource; the data
// set tells every source bound to it what happened, and the source passes it
// on to its observers.

#include "dataset/client/data_set_state.h"
#include "dataset/engine/component.h"

#include <vector>

namespace dataset {

class ClientDataSet;
class DataSource;
class Field;

// Plain callbacks on the window's thread; all have empty defaults.
class DataSourceObserver {
public:
    virtual ~DataSourceObserver() = default;
    // The data set opened (new fields, new rows) or closed.
    virtual void dataSetOpened(DataSource&) {}
    virtual void dataSetClosed(DataSource&) {}
    // Another row became current (scrolling, locate, first, next...).
    virtual void currentRowChanged(DataSource&) {}
    // Browse, edit or insert.
    virtual void stateChanged(DataSource&) {}
    // Rows of the view changed: inserted, posted, deleted, cancelled,
    // filtered or merged. Repaint everything visible.
    virtual void dataChanged(DataSource&) {}
    // A value of the current row was set through a field.
    virtual void fieldChanged(DataSource&, Field&) {}
    // Before posting: write the value a control holds but has not yet handed
    // to its field.
    virtual void updateRecord(DataSource&) {}
    // A required field was found empty while posting: put the input focus on
    // the control that edits it. True when this observer has such a control.
    virtual bool focusField(DataSource&, Field&) { return false; }
    // The source is being destroyed or bound to another data set.
    virtual void dataSourceDetached(DataSource&) {}
};

class DataSource : public Component {
public:
    explicit DataSource(std::string name, ComponentOwner* owner = nullptr);
    ~DataSource() override;

    ClientDataSet* DataSet() const { return dataSet_; }
    void setDataSet(ClientDataSet* dataSet);

    // A disabled source passes nothing on.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Whether typing into a control may put a browsing data set in edit state.
    bool AutoEdit = true;

    // Inactive when no data set is bound.
    DataSetState State() const;
    // Puts a browsing data set in edit state, when AutoEdit allows it.
    void Edit();

    void addObserver(DataSourceObserver* observer);
    void removeObserver(DataSourceObserver* observer);
    // Moves an observer from the source it watches to next; either may be
    // null. False, and nothing done, when next is the one it watches.
    static bool watch(DataSource*& watched, DataSource* next, DataSourceObserver* observer);

private:
    friend class ClientDataSet;
    template <typename Call> void notify(Call call);
    // From the data set.
    void opened();
    void closed();
    void currentRowChanged();
    void stateChanged();
    void dataChanged();
    void fieldChanged(Field& field);
    void updateRecord();
    bool focusField(Field& field);

    ClientDataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    std::vector<DataSourceObserver*> observers_;
};

} // namespace dataset
