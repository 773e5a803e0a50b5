#pragma once
// An in-memory table of typed fields with a current row, filled in one piece
// from the provider named by ProviderName, with a change log of the rows
// inserted, modified and deleted since the last merge.

#include "dataset/apply/reconciler.h"
#include "dataset/client/data_set_state.h"
#include "dataset/client/field.h"
#include "dataset/engine/component.h"
#include "dataset/filter/filter_options.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dataset {

class DataSetProvider;
class DataSource;
class EngineCursor;
class EngineStore;
class FilterExpression;
class LocalProviderService;

enum class LocateOption : std::uint8_t { CaseInsensitive = 1, PartialKey = 2 };
using LocateOptions = std::uint8_t;

class ClientDataSet : public Component {
public:
    static constexpr const char* kClosedDataSet =
        "Cannot perform this operation on a closed dataset";
    static constexpr const char* kEmptyDataSet =
        "Cannot perform this operation on an empty dataset";
    static constexpr const char* kNotEditing = "Dataset not in edit or insert mode";
    static constexpr const char* kReadOnlyDataSet = "Cannot modify a read-only dataset";
    static constexpr const char* kUnsettledApply =
        "The last save of the changes was not answered: save them again before other changes";
    static constexpr const char* kInsertsNotAllowed = "Inserts are not allowed";
    static constexpr const char* kModificationsNotAllowed = "Modifications are not allowed";
    static constexpr const char* kDeletesNotAllowed = "Deletes are not allowed";
    static constexpr const char* kMissingProvider = "Missing data provider or data packet";
    static constexpr const char* kCircularProvider = "Circular provider references not allowed";
    static constexpr const char* kInvalidPacket = "Invalid data packet";
    static constexpr const char* kFieldNotFound = "Field '%s' not found";
    static constexpr const char* kListIndexOutOfBounds = "List index out of bounds (%d)";
    static constexpr const char* kUnsupportedLocateType = "Field '%s' is of an unsupported type";

    using Event = std::function<void(ClientDataSet&)>;

    explicit ClientDataSet(std::string name, ComponentOwner* owner = nullptr);
    ~ClientDataSet() override;

    // --- Settings ---
    std::string ProviderName;
    // -1: every row in one packet.
    int PacketRecords = -1;
    bool ReadOnly = false;
    const std::string& CommandText() const { return commandText_; }
    // Takes effect at the next opening.
    void setCommandText(std::string_view text);

    // --- Fields ---
    // Persistent fields, in field order; made once with the data set.
    Field& addField(std::unique_ptr<Field> field);
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    // By position: "List index out of bounds (%d)".
    Field& Fields(int index) const;
    // "Field '%s' not found" (prefixed with the data set's name).
    Field& FieldByName(std::string_view fieldName) const;
    Field* FindField(std::string_view fieldName) const;
    bool hasPersistentFields() const { return !persistent_.empty(); }

    // --- Opening and closing ---
    void open();
    // Drops rows and change log (unapplied changes too); asks the provider
    // to reset.
    void close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    void setActive(bool active);
    DataSetState State() const { return state_; }

    // --- The view ---
    bool IsEmpty() const;
    // Rows in the view; "Cannot perform this operation on a closed dataset".
    int RecordCount() const;
    // Position of the current row in the view from 1; 0 when none.
    int RecNo() const;
    void setRecNo(int recNo);
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    void First();
    void Last();
    void Next();
    void Prior();
    // Moves by that many rows; gives how many it moved.
    int MoveBy(int distance);

    // A value of any row of the view, row from 0, for widgets that show many
    // rows; the current row in edit or insert state reads the row being
    // edited.
    Value valueAt(int row, int fieldIndex) const;
    std::string displayTextAt(int row, int fieldIndex) const;

    // Makes the first row whose field equals the value current; false (and
    // no move) when none does.
    bool Locate(std::string_view fieldName, const Value& value, LocateOptions options = 0);

    // --- Filtering (the compiler's grammar is the filter's own) ---
    const std::string& Filter() const { return filter_; }
    void setFilter(std::string_view text);
    bool Filtered() const { return filtered_; }
    void setFiltered(bool filtered);
    FilterOptions filterOptions() const { return filterOptions_; }
    void setFilterOptions(FilterOptions options);
    // Turns a quoted text into a date for filters and locates; the default
    // reads the user's short date format, the text date fields show.
    using DateParser = std::function<std::optional<db::SQLDate>(std::string_view)>;
    void setDateParser(DateParser parser);

    // --- Editing ---
    void Insert();
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Set by writing a field; cleared by post, cancel and a new row.
    bool Modified() const { return modified_; }
    bool CanModify() const;

    // --- The change log ---
    int ChangeCount() const;
    // Sends the change log through the provider; gives the number of rows
    // that failed. MaxErrors -1: no limit.
    int ApplyUpdates(int maxErrors);
    // Asked once per row the provider could not apply; may change the
    // action (Skip keeps the change in the change log, Merge takes it in,
    // Refresh drops it and reads the rows again from the provider). Rows
    // read again can show more changes whose rows another user changed or
    // deleted meanwhile: each is asked about too, as refused with "Record
    // not found or changed by another user".
    Reconciler::Handler OnReconcileError;
    // Shows an error raised by OnReconcileError; the row is then aborted.
    Reconciler::ErrorDisplay reconcileErrorDisplay;
    // Takes every change into the rows and empties the change log.
    void MergeChangeLog();
    // The change log as a delta packet.
    std::vector<std::uint8_t> delta() const;

    // Posts or cancels a row being edited; fails on a closed data set.
    void CheckBrowseMode();

    // --- Events (the program and widgets assign what they need) ---
    Event BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    Event BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    Event BeforePost, AfterPost, BeforeCancel, AfterCancel;
    Event BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    Event OnNewRecord;

    // --- For fields, data sources and the provider link ---
    Value fieldValue(const Field& field) const;
    void setFieldValue(Field& field, Value value);
    void attachDataSource(DataSource* source);
    void detachDataSource(DataSource* source);
    // The provider this data set would fetch from; raises as opening does.
    DataSetProvider& provider();

private:
    enum class Notice { Opened, Closed, Scrolled, State, Data };

    // Raises the message preceded by the data set's name and ": ".
    [[noreturn]] void raise(const std::string& message) const;
    void checkActive() const;
    // Changes wait until an unanswered apply is settled.
    void checkSettled() const;
    LocalProviderService& service();
    std::vector<std::uint8_t> fetchPacket();
    void loadPacket(std::vector<std::uint8_t> packet);
    void bindFields();
    void unbindFields();
    void installFilter();
    // Over this data set's fields, with the user's date format and decimal
    // separator.
    std::unique_ptr<FilterExpression> compileFilter(std::string_view text, bool extendedSyntax,
                                                    FilterOptions options) const;
    void dropFilter();
    void sendReset();
    void setState(DataSetState state);
    void notify(Notice notice);
    void notifyField(Field& field);
    // Asks the controls to write the text they hold into their fields.
    void updateRecord();
    void moveTo(std::optional<std::size_t> index);
    std::size_t viewCount() const;
    // Reads the rows again after an apply: the changes of the rows given
    // are dropped, every other change is kept on the rows as read.
    void readAgain(std::vector<std::uint32_t> dropping);
    void releaseEngine();

    std::string commandText_;
    std::vector<std::unique_ptr<Field>> persistent_;
    std::vector<std::unique_ptr<Field>> created_;
    std::vector<Field*> fields_;
    std::vector<DataSource*> sources_;

    std::unique_ptr<LocalProviderService> service_;
    std::unique_ptr<EngineStore> store_;
    // The batch of an apply whose commit went unanswered; its change log
    // stays as it was sent until the next apply settles it.
    std::string unsettledBatch_;
    std::unique_ptr<EngineCursor> cursor_;
    bool noResetCall_ = false;
    bool disableInserts_ = false;
    bool disableEdits_ = false;
    bool disableDeletes_ = false;

    DataSetState state_ = DataSetState::Inactive;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    // The row being inserted or edited, one value per engine column.
    std::vector<Value> buffer_;
    // Insert state: where the new row goes in the store, and in the view.
    std::size_t insertAt_ = 0;
    std::size_t insertViewIndex_ = 0;

    std::string filter_;
    bool filtered_ = false;
    FilterOptions filterOptions_;
    DateParser dateParser_;
    int filterHandle_ = -1;
};

} // namespace dataset
