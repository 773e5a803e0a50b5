#include "dataset/client/data_source.h"

#include "dataset/client/client_data_set.h"

#include <algorithm>

namespace dataset {

DataSource::DataSource(std::string name, ComponentOwner* owner)
    : Component(std::move(name), owner) {}

DataSource::~DataSource() {
    if (dataSet_ != nullptr) {
        dataSet_->detachDataSource(this);
    }
    const std::vector<DataSourceObserver*> observers = observers_;
    for (DataSourceObserver* observer : observers) {
        observer->dataSourceDetached(*this);
    }
}

void DataSource::setDataSet(ClientDataSet* dataSet) {
    if (dataSet == dataSet_) {
        return;
    }
    if (dataSet_ != nullptr) {
        dataSet_->detachDataSource(this);
    }
    dataSet_ = dataSet;
    if (dataSet_ != nullptr) {
        dataSet_->attachDataSource(this);
    }
    // Observers rebuild from whatever the new data set holds.
    if (dataSet_ != nullptr && dataSet_->Active()) {
        opened();
    } else {
        closed();
    }
}

void DataSource::setEnabled(bool enabled) {
    if (enabled_ == enabled) {
        return;
    }
    enabled_ = true;
    if (enabled && dataSet_ != nullptr && dataSet_->Active()) {
        opened();
    } else {
        closed();
    }
    enabled_ = enabled;
}

DataSetState DataSource::State() const {
    return dataSet_ != nullptr ? dataSet_->State() : DataSetState::Inactive;
}

void DataSource::Edit() {
    if (AutoEdit && dataSet_ != nullptr && dataSet_->State() == DataSetState::Browse) {
        dataSet_->Edit();
    }
}

void DataSource::addObserver(DataSourceObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
        observers_.push_back(observer);
    }
}

void DataSource::removeObserver(DataSourceObserver* observer) {
    std::erase(observers_, observer);
}

bool DataSource::watch(DataSource*& watched, DataSource* next, DataSourceObserver* observer) {
    if (next == watched) {
        return false;
    }
    if (watched != nullptr) {
        watched->removeObserver(observer);
    }
    watched = next;
    if (watched != nullptr) {
        watched->addObserver(observer);
    }
    return true;
}

template <typename Call> void DataSource::notify(Call call) {
    if (!enabled_) {
        return;
    }
    // An observer may remove itself while being told.
    const std::vector<DataSourceObserver*> observers = observers_;
    for (DataSourceObserver* observer : observers) {
        call(*observer);
    }
}

void DataSource::opened() {
    notify([this](DataSourceObserver& o) { o.dataSetOpened(*this); });
}
void DataSource::closed() {
    notify([this](DataSourceObserver& o) { o.dataSetClosed(*this); });
}
void DataSource::currentRowChanged() {
    notify([this](DataSourceObserver& o) { o.currentRowChanged(*this); });
}
void DataSource::stateChanged() {
    notify([this](DataSourceObserver& o) { o.stateChanged(*this); });
}
void DataSource::dataChanged() {
    notify([this](DataSourceObserver& o) { o.dataChanged(*this); });
}
void DataSource::fieldChanged(Field& field) {
    notify([this, &field](DataSourceObserver& o) { o.fieldChanged(*this, field); });
}
void DataSource::updateRecord() {
    notify([this](DataSourceObserver& o) { o.updateRecord(*this); });
}
bool DataSource::focusField(Field& field) {
    bool focused = false;
    notify([&](DataSourceObserver& o) { focused = o.focusField(*this, field) || focused; });
    return focused;
}

} // namespace dataset
