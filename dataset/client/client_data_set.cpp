#include "dataset/client/client_data_set.h"

#include "dataset/apply/apply_log.h"
#include "dataset/apply/data_set_provider.h"
#include "dataset/apply/reconciler.h"
#include "dataset/apply/sql_resolver.h"
#include "dataset/client/data_source.h"
#include "dataset/client/date_text.h"
#include "dataset/client/field_binder.h"
#include "dataset/client/local_provider_service.h"
#include "dataset/engine/engine_cursor.h"
#include "dataset/engine/engine_store.h"
#include "dataset/engine/packet_format.h"
#include "dataset/engine/packet_reader.h"
#include "dataset/filter/filter_compiler.h"
#include "db/database_error.h"
#include "platform/decimal_separator.h"
#include "platform/text.h"

#include <algorithm>
#include <charconv>

namespace dataset {
namespace {

bool boolAttribute(const EngineStore& store, std::string_view name) {
    const PacketAttribute* attribute = store.attribute(name);
    if (attribute == nullptr) {
        return false;
    }
    if (const auto* value = std::get_if<std::int64_t>(&attribute->value)) {
        return *value != 0;
    }
    return false;
}

void fire(const ClientDataSet::Event& event, ClientDataSet& dataSet) {
    if (event) {
        event(dataSet);
    }
}

} // namespace

ClientDataSet::ClientDataSet(std::string name, ComponentOwner* owner)
    : Component(std::move(name), owner), dateParser_(dateFromText) {}

ClientDataSet::~ClientDataSet() {
    // Closing here would call the provider, which may be gone already.
    releaseEngine();
    const std::vector<DataSource*> sources = sources_;
    for (DataSource* source : sources) {
        source->setDataSet(nullptr);
    }
}

void ClientDataSet::raise(const std::string& message) const {
    throw db::DatabaseError(name() + ": " + message);
}

void ClientDataSet::checkActive() const {
    if (!Active()) {
        raise(kClosedDataSet);
    }
}

void ClientDataSet::setCommandText(std::string_view text) {
    // The program's texts carry no named parameters, so there is no list to
    // rebuild.
    commandText_ = text;
}

// --- Fields ---

Field& ClientDataSet::addField(std::unique_ptr<Field> field) {
    field->dataSet_ = this;
    field->index_ = static_cast<int>(persistent_.size());
    persistent_.push_back(std::move(field));
    fields_.push_back(persistent_.back().get());
    return *persistent_.back();
}

Field& ClientDataSet::Fields(int index) const {
    if (index < 0 || index >= fieldCount()) {
        throw db::DatabaseError(platform::fill(kListIndexOutOfBounds, std::to_string(index)));
    }
    return *fields_[static_cast<std::size_t>(index)];
}

Field* ClientDataSet::FindField(std::string_view fieldName) const {
    auto found = std::find_if(fields_.begin(), fields_.end(),
                              [&](const Field* f) { return f->FieldName() == fieldName; });
    return found == fields_.end() ? nullptr : *found;
}

Field& ClientDataSet::FieldByName(std::string_view fieldName) const {
    Field* field = FindField(fieldName);
    if (field == nullptr) {
        raise(platform::fill(kFieldNotFound, fieldName));
    }
    return *field;
}

// --- The provider ---

DataSetProvider& ClientDataSet::provider() {
    Component* found = owner() != nullptr ? owner()->findComponent(ProviderName) : nullptr;
    auto* provider = dynamic_cast<DataSetProvider*>(found);
    if (provider == nullptr) {
        raise(kMissingProvider);
    }
    if (provider->clientDataSet() == this) {
        raise(kCircularProvider);
    }
    return *provider;
}

LocalProviderService& ClientDataSet::service() {
    if (!service_) {
        service_ = std::make_unique<LocalProviderService>(provider());
    }
    return *service_;
}

std::vector<std::uint8_t> ClientDataSet::fetchPacket() {
    db::SQLParams params;
    std::string ownerData;
    int recsOut = 0;
    DataPacket packet =
        service().PS_GetRecords(ProviderName, PacketRecords, recsOut, GetRecordsOption::kMetaData,
                                commandText_, params, ownerData);
    if (!packet) {
        raise(kMissingProvider);
    }
    if (packet->size() < packet_format::kHeaderSize) {
        throw db::DatabaseError(kInvalidPacket);
    }
    return std::move(*packet);
}

void ClientDataSet::sendReset() {
    if (!service_) {
        return;
    }
    db::SQLParams params;
    std::string ownerData;
    int recsOut = 0;
    service_->PS_GetRecords(ProviderName, 0, recsOut, GetRecordsOption::kReset, {}, params,
                            ownerData);
}

// --- Opening and closing ---

void ClientDataSet::setActive(bool active) {
    if (active) {
        open();
    } else {
        close();
    }
}

void ClientDataSet::open() {
    if (Active()) {
        return;
    }
    fire(BeforeOpen, *this);
    try {
        loadPacket(fetchPacket());
        bindFields();
        installFilter();
    } catch (...) {
        unbindFields();
        releaseEngine();
        try {
            sendReset();
        } catch (...) {
        }
        service_.reset();
        throw;
    }
    state_ = DataSetState::Browse;
    cursor_->setCurrentIndex(0);
    bof_ = true;
    eof_ = viewCount() == 0;
    notify(Notice::Opened);
    fire(AfterOpen, *this);
}

void ClientDataSet::loadPacket(std::vector<std::uint8_t> packet) {
    store_ = std::make_unique<EngineStore>(std::move(packet));
    unsettledBatch_.clear();
    cursor_ = std::make_unique<EngineCursor>(*store_);
    noResetCall_ = boolAttribute(*store_, "NO_RESET_CALL");
    disableInserts_ = boolAttribute(*store_, "DISABLE_INSERTS");
    disableEdits_ = boolAttribute(*store_, "DISABLE_EDITS");
    disableDeletes_ = boolAttribute(*store_, "DISABLE_DELETES");
}

void ClientDataSet::bindFields() {
    if (persistent_.empty()) {
        created_ = FieldBinder::create(store_->columns(), name(), this);
        fields_.clear();
        for (const auto& field : created_) {
            fields_.push_back(field.get());
        }
        return;
    }
    try {
        FieldBinder::bind(fields_, store_->columns(), this);
    } catch (const db::DatabaseError& error) {
        raise(error.what());
    }
}

void ClientDataSet::unbindFields() {
    FieldBinder::unbind(fields_);
    if (!created_.empty()) {
        fields_.clear();
        created_.clear();
    }
}

void ClientDataSet::releaseEngine() {
    filterHandle_ = -1;
    cursor_.reset();
    store_.reset();
    unsettledBatch_.clear();
    buffer_.clear();
}

void ClientDataSet::close() {
    if (!Active()) {
        return;
    }
    fire(BeforeClose, *this);
    state_ = DataSetState::Inactive;
    modified_ = false;
    dropFilter();
    unbindFields();
    const bool reset = !noResetCall_;
    releaseEngine();
    bof_ = eof_ = true;
    notify(Notice::Closed);
    try {
        if (reset) {
            sendReset();
        }
    } catch (...) {
        service_.reset();
        throw;
    }
    service_.reset();
    fire(AfterClose, *this);
}

// --- Filtering ---

void ClientDataSet::setDateParser(DateParser parser) {
    dateParser_ = parser ? std::move(parser) : DateParser(dateFromText);
}

void ClientDataSet::installFilter() {
    if (!filtered_ || filter_.empty()) {
        return;
    }
    std::shared_ptr<const FilterExpression> expression =
        compileFilter(filter_, true, filterOptions_);
    filterHandle_ = cursor_->addFilter(std::move(expression));
}

std::unique_ptr<FilterExpression> ClientDataSet::compileFilter(std::string_view text,
                                                               bool extendedSyntax,
                                                               FilterOptions options) const {
    FilterCompiler compiler;
    compiler.lookup =
        [this](std::string_view fieldName) -> std::optional<FilterCompiler::FieldRef> {
        const Field* field = FindField(fieldName);
        if (field == nullptr || field->column_ < 0) {
            return std::nullopt;
        }
        return FilterCompiler::FieldRef{static_cast<std::size_t>(field->column_), field->DataType(),
                                        field->Size()};
    };
    compiler.parseDate = dateParser_;
    compiler.decimalSeparator = platform::decimalSeparator();
    compiler.extendedSyntax = extendedSyntax;
    compiler.options = options;
    return compiler.compile(text);
}

void ClientDataSet::dropFilter() {
    if (cursor_ && filterHandle_ >= 0) {
        cursor_->dropFilter(filterHandle_);
    }
    filterHandle_ = -1;
}

void ClientDataSet::setFilter(std::string_view text) {
    if (!Active() || !filtered_) {
        filter_ = text;
        return;
    }
    CheckBrowseMode();
    if (text != filter_) {
        const std::string previous = filter_;
        filter_ = text;
        dropFilter();
        try {
            installFilter();
        } catch (...) {
            filter_ = previous;
            installFilter();
            throw;
        }
    }
    First();
    notify(Notice::Data);
}

void ClientDataSet::setFiltered(bool filtered) {
    if (!Active()) {
        filtered_ = filtered;
        return;
    }
    CheckBrowseMode();
    if (filtered != filtered_) {
        dropFilter();
        filtered_ = filtered;
        try {
            installFilter();
        } catch (...) {
            filtered_ = !filtered;
            throw;
        }
    }
    First();
    notify(Notice::Data);
}

void ClientDataSet::setFilterOptions(FilterOptions options) {
    if (options == filterOptions_) {
        return;
    }
    filterOptions_ = options;
    if (Active() && filtered_) {
        CheckBrowseMode();
        dropFilter();
        installFilter();
        First();
        notify(Notice::Data);
    }
}

// --- The view ---

std::size_t ClientDataSet::viewCount() const {
    return cursor_ ? cursor_->count() : 0;
}

bool ClientDataSet::IsEmpty() const {
    if (!Active()) {
        return true;
    }
    return state_ != DataSetState::Insert && viewCount() == 0;
}

int ClientDataSet::RecordCount() const {
    checkActive();
    return static_cast<int>(viewCount());
}

int ClientDataSet::RecNo() const {
    if (!Active()) {
        return 0;
    }
    if (state_ == DataSetState::Insert) {
        return static_cast<int>(insertViewIndex_) + 1;
    }
    const std::optional<std::size_t> index = cursor_->currentIndex();
    return index ? static_cast<int>(*index) + 1 : 0;
}

void ClientDataSet::moveTo(std::optional<std::size_t> index) {
    fire(BeforeScroll, *this);
    cursor_->setCurrentIndex(index);
    fire(AfterScroll, *this);
    notify(Notice::Scrolled);
}

void ClientDataSet::setRecNo(int recNo) {
    CheckBrowseMode();
    const std::size_t count = viewCount();
    if (recNo < 1 || static_cast<std::size_t>(recNo) > count) {
        return;
    }
    bof_ = eof_ = false;
    moveTo(static_cast<std::size_t>(recNo - 1));
}

void ClientDataSet::First() {
    CheckBrowseMode();
    moveTo(0);
    bof_ = true;
    eof_ = viewCount() == 0;
}

void ClientDataSet::Last() {
    CheckBrowseMode();
    const std::size_t count = viewCount();
    moveTo(count == 0 ? std::optional<std::size_t>{} : count - 1);
    eof_ = true;
    bof_ = count == 0;
}

void ClientDataSet::Next() {
    MoveBy(1);
}

void ClientDataSet::Prior() {
    MoveBy(-1);
}

int ClientDataSet::MoveBy(int distance) {
    CheckBrowseMode();
    const std::size_t count = viewCount();
    const std::optional<std::size_t> current = cursor_->currentIndex();
    if (count == 0 || !current || distance == 0) {
        bof_ = eof_ = count == 0;
        return 0;
    }
    const auto from = static_cast<long long>(*current);
    const long long target = std::clamp(from + distance, 0LL, static_cast<long long>(count) - 1);
    eof_ = distance > 0 && from + distance > target;
    bof_ = distance < 0 && from + distance < target;
    if (target != from) {
        moveTo(static_cast<std::size_t>(target));
    }
    return static_cast<int>(target - from);
}

Value ClientDataSet::fieldValue(const Field& field) const {
    if (!Active() || field.column_ < 0) {
        return {};
    }
    const auto column = static_cast<std::size_t>(field.column_);
    if (state_ == DataSetState::Insert || state_ == DataSetState::Edit) {
        return buffer_[column];
    }
    const std::optional<RowId> row = cursor_->current();
    if (!row || !cursor_->currentIndex()) {
        return {};
    }
    return store_->value(*row, column);
}

Value ClientDataSet::valueAt(int row, int fieldIndex) const {
    const Field& field = Fields(fieldIndex);
    if (!Active() || field.column_ < 0 || row < 0) {
        return {};
    }
    auto index = static_cast<std::size_t>(row);
    const auto column = static_cast<std::size_t>(field.column_);
    if (state_ == DataSetState::Insert) {
        if (index == insertViewIndex_) {
            return buffer_[column];
        }
        if (index > insertViewIndex_) {
            --index;
        }
    } else if (state_ == DataSetState::Edit && cursor_->currentIndex() == index) {
        return buffer_[column];
    }
    if (index >= viewCount()) {
        return {};
    }
    return store_->value(cursor_->rowAt(index), column);
}

std::string ClientDataSet::displayTextAt(int row, int fieldIndex) const {
    return Fields(fieldIndex).displayTextOf(valueAt(row, fieldIndex));
}

// --- Locating ---

bool ClientDataSet::Locate(std::string_view fieldName, const Value& value, LocateOptions options) {
    CheckBrowseMode();
    Field& field = FieldByName(fieldName);
    const bool partial = (options & static_cast<LocateOptions>(LocateOption::PartialKey)) != 0;
    std::string text;
    if (std::holds_alternative<std::monostate>(value)) {
        text = "[" + field.FieldName() + "] IS NULL";
    } else {
        const std::string valueText = field.textOf(value);
        std::string literal;
        switch (field.DataType()) {
        case FieldType::String:
        case FieldType::FixedChar:
            literal = "'";
            for (char c : valueText) {
                literal += c;
                if (c == '\'') {
                    literal += '\'';
                }
            }
            literal += partial ? "*'" : "'";
            break;
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::LargeInt:
        case FieldType::AutoInc:
        case FieldType::Boolean:
            literal = valueText;
            break;
        case FieldType::Float:
        case FieldType::Currency:
        case FieldType::BCD:
        case FieldType::FMTBcd:
            // Written as the filter reads numbers, with the user's separator.
            literal = valueText;
            std::replace(literal.begin(), literal.end(), '.', platform::decimalSeparator());
            break;
        case FieldType::Date:
        case FieldType::Time:
        case FieldType::DateTime:
        case FieldType::TimeStamp:
            literal = "'" + valueText + "'";
            break;
        default:
            throw db::DatabaseError(platform::fill(kUnsupportedLocateType, field.FieldName()));
        }
        text = "[" + field.FieldName() + "]=" + literal;
    }
    FilterOptions filterOptions;
    if ((options & static_cast<LocateOptions>(LocateOption::CaseInsensitive)) != 0) {
        filterOptions = filterOptions + FilterOption::CaseInsensitive;
    }
    if (!partial) {
        filterOptions = filterOptions + FilterOption::NoPartialCompare;
    }
    const std::unique_ptr<FilterExpression> expression = compileFilter(text, false, filterOptions);

    fire(BeforeScroll, *this);
    const std::optional<std::size_t> found = cursor_->find(*expression);
    if (!found) {
        return false;
    }
    cursor_->setCurrentIndex(*found);
    bof_ = eof_ = false;
    fire(AfterScroll, *this);
    notify(Notice::Scrolled);
    return true;
}

// --- Editing ---

bool ClientDataSet::CanModify() const {
    return Active() && !ReadOnly;
}

void ClientDataSet::CheckBrowseMode() {
    checkActive();
    if (state_ == DataSetState::Insert || state_ == DataSetState::Edit) {
        // Text still held by a control counts as a change of the row.
        updateRecord();
        if (modified_) {
            Post();
        } else {
            Cancel();
        }
    }
}

void ClientDataSet::checkSettled() const {
    if (!unsettledBatch_.empty()) {
        raise(kUnsettledApply);
    }
}

void ClientDataSet::Insert() {
    CheckBrowseMode();
    checkSettled();
    if (!CanModify()) {
        raise(kReadOnlyDataSet);
    }
    if (disableInserts_) {
        raise(kInsertsNotAllowed);
    }
    fire(BeforeInsert, *this);
    fire(BeforeScroll, *this);
    const std::optional<RowId> current = cursor_->current();
    const std::optional<std::size_t> viewIndex = cursor_->currentIndex();
    if (current && viewIndex) {
        insertAt_ = *store_->indexOf(*current);
        insertViewIndex_ = *viewIndex;
    } else {
        insertAt_ = store_->size();
        insertViewIndex_ = viewCount();
    }
    buffer_.assign(store_->columns().size(), Value{});
    bof_ = eof_ = false;
    setState(DataSetState::Insert);
    fire(OnNewRecord, *this);
    modified_ = false;
    fire(AfterInsert, *this);
    fire(AfterScroll, *this);
    notify(Notice::Data);
}

void ClientDataSet::Append() {
    CheckBrowseMode();
    const std::size_t count = viewCount();
    if (count > 0) {
        Last();
    }
    Insert();
    if (count > 0) {
        // After the last row rather than before it.
        const std::optional<std::size_t> last = store_->indexOf(cursor_->rowAt(count - 1));
        insertAt_ = last ? *last + 1 : store_->size();
        insertViewIndex_ = count;
    }
}

void ClientDataSet::Edit() {
    checkActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        return;
    }
    if (viewCount() == 0) {
        Insert();
        return;
    }
    checkSettled();
    if (!CanModify()) {
        raise(kReadOnlyDataSet);
    }
    if (disableEdits_) {
        raise(kModificationsNotAllowed);
    }
    fire(BeforeEdit, *this);
    const RowId row = *cursor_->current();
    buffer_.resize(store_->columns().size());
    for (std::size_t c = 0; c < buffer_.size(); ++c) {
        buffer_[c] = store_->value(row, c);
    }
    modified_ = false;
    setState(DataSetState::Edit);
    fire(AfterEdit, *this);
}

void ClientDataSet::setFieldValue(Field& field, Value value) {
    if (state_ == DataSetState::Browse) {
        Edit();
    }
    if (state_ != DataSetState::Insert && state_ != DataSetState::Edit) {
        raise(kNotEditing);
    }
    if (field.column_ < 0) {
        return;
    }
    buffer_[static_cast<std::size_t>(field.column_)] = std::move(value);
    modified_ = true;
    notifyField(field);
}

void ClientDataSet::updateRecord() {
    for (DataSource* source : sources_) {
        source->updateRecord();
    }
}

void ClientDataSet::Post() {
    if (state_ != DataSetState::Insert && state_ != DataSetState::Edit) {
        raise(kNotEditing);
    }
    updateRecord();
    fire(BeforePost, *this);
    for (Field* field : fields_) {
        if (field->Required && !field->ReadOnly && field->column_ >= 0 &&
            std::holds_alternative<std::monostate>(
                buffer_[static_cast<std::size_t>(field->column_)])) {
            for (DataSource* source : sources_) {
                if (source->focusField(*field)) {
                    break;
                }
            }
            throw db::DatabaseError(platform::fill(Field::kMustHaveValue, field->displayName()));
        }
    }
    RowId posted = 0;
    if (state_ == DataSetState::Insert) {
        posted = store_->insert(insertAt_, buffer_);
        cursor_->setCurrent(posted);
    } else {
        posted = *cursor_->current();
        store_->modify(posted, buffer_);
    }
    buffer_.clear();
    modified_ = false;
    if (cursor_->current() != posted) {
        // The row no longer passes the filter: the cursor went on to the
        // next row of the view, or the previous one.
        bof_ = eof_ = viewCount() == 0;
    }
    setState(DataSetState::Browse);
    notify(Notice::Data);
    fire(AfterPost, *this);
}

void ClientDataSet::Cancel() {
    if (state_ != DataSetState::Insert && state_ != DataSetState::Edit) {
        return;
    }
    const bool inserting = state_ == DataSetState::Insert;
    fire(BeforeCancel, *this);
    if (inserting) {
        fire(BeforeScroll, *this);
    }
    buffer_.clear();
    modified_ = false;
    setState(DataSetState::Browse);
    if (inserting) {
        bof_ = eof_ = viewCount() == 0;
    }
    notify(Notice::Data);
    fire(AfterCancel, *this);
    if (inserting) {
        fire(AfterScroll, *this);
    }
}

void ClientDataSet::Delete() {
    checkActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (state_ == DataSetState::Edit) {
        Cancel();
    }
    if (viewCount() == 0) {
        raise(kEmptyDataSet);
    }
    checkSettled();
    fire(BeforeDelete, *this);
    fire(BeforeScroll, *this);
    if (disableDeletes_) {
        raise(kDeletesNotAllowed);
    }
    // The cursor goes on to the row after the deleted one, else the one
    // before it.
    store_->remove(*cursor_->current());
    bof_ = eof_ = viewCount() == 0;
    notify(Notice::Data);
    fire(AfterDelete, *this);
    fire(AfterScroll, *this);
}

// --- The change log ---

int ClientDataSet::ChangeCount() const {
    return store_ ? store_->changeCount() : 0;
}

std::vector<std::uint8_t> ClientDataSet::delta() const {
    checkActive();
    return store_->delta();
}

void ClientDataSet::MergeChangeLog() {
    unsettledBatch_.clear();
    checkActive();
    store_->mergeChangeLog();
    notify(Notice::Data);
}

int ClientDataSet::ApplyUpdates(int maxErrors) {
    CheckBrowseMode();
    if (ChangeCount() == 0) {
        return 0;
    }
    const std::vector<std::uint8_t> changes = store_->delta();
    int errorCount = 0;
    // An unsettled apply is settled first: the provider looks for its batch.
    std::string ownerData = unsettledBatch_;
    DataPacket errors;
    try {
        errors = service().PS_ApplyUpdates(ProviderName, changes, maxErrors, errorCount, ownerData);
    } catch (const ApplyOutcomeUnknown& unknown) {
        unsettledBatch_ = unknown.batch();
        throw;
    }
    unsettledBatch_.clear();
    if (!errors) {
        store_->mergeChangeLog();
        notify(Notice::Data);
        return errorCount;
    }
    Reconciler::Outcome outcome =
        Reconciler::reconcile(changes, *errors, *this, OnReconcileError, reconcileErrorDisplay);
    const std::vector<RowId> refreshing = store_->changedRows(outcome.refreshed);
    std::vector<std::uint32_t> named = outcome.kept;
    named.insert(named.end(), outcome.refreshed.begin(), outcome.refreshed.end());
    // Merged first: the rows read again hold what this apply saved.
    store_->reconcile(named);
    if (!refreshing.empty()) {
        readAgain(refreshing);
    }
    notify(Notice::Data);
    return errorCount;
}

void ClientDataSet::readAgain(std::vector<RowId> dropping) {
    std::unique_ptr<EngineStore> fresh;
    try {
        fresh = std::make_unique<EngineStore>(fetchPacket());
    } catch (...) {
        // Not read again, the refused changes stay for another try.
        notify(Notice::Data);
        throw;
    }
    // A change whose row is no longer as it found it would be refused the
    // same way by the next apply: its reconcile handler decides now.
    for (const EngineStore::LostChange& lost : store_->lostChanges(*fresh, dropping)) {
        ReconcileRow row;
        for (const ColumnDesc& column : store_->columns()) {
            row.columns.push_back(column.name);
        }
        row.oldValues = lost.original;
        row.newValues = lost.current;
        const ReconcileError error(SQLResolver::kRecordChanged, {}, 1, 0, std::move(row));
        const UpdateKind kind =
            lost.status == RowStatus::Deleted ? UpdateKind::Delete : UpdateKind::Modify;
        if (Reconciler::ask(*this, error, kind, ReconcileAction::Skip, OnReconcileError,
                            reconcileErrorDisplay) == ReconcileAction::Refresh) {
            dropping.push_back(lost.row);
        }
    }
    const std::optional<std::size_t> index = cursor_->currentIndex();
    store_->refresh(*fresh, dropping);
    if (!cursor_->currentIndex()) {
        const std::size_t count = viewCount();
        cursor_->setCurrentIndex(count == 0 ? std::optional<std::size_t>{}
                                            : std::min(index.value_or(0), count - 1));
    }
    bof_ = eof_ = viewCount() == 0;
}

// --- Notifications ---

void ClientDataSet::attachDataSource(DataSource* source) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end()) {
        sources_.push_back(source);
    }
}

void ClientDataSet::detachDataSource(DataSource* source) {
    std::erase(sources_, source);
}

void ClientDataSet::setState(DataSetState state) {
    if (state_ == state) {
        return;
    }
    state_ = state;
    notify(Notice::State);
}

void ClientDataSet::notify(Notice notice) {
    const std::vector<DataSource*> sources = sources_;
    for (DataSource* source : sources) {
        switch (notice) {
        case Notice::Opened:
            source->opened();
            break;
        case Notice::Closed:
            source->closed();
            break;
        case Notice::Scrolled:
            source->currentRowChanged();
            break;
        case Notice::State:
            source->stateChanged();
            break;
        case Notice::Data:
            source->dataChanged();
            break;
        }
    }
}

void ClientDataSet::notifyField(Field& field) {
    const std::vector<DataSource*> sources = sources_;
    for (DataSource* source : sources) {
        source->fieldChanged(field);
    }
}

} // namespace dataset
