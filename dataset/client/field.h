#pragma once
// One field object of a client data set: a column of its rows as the program
// and the data-aware widgets see it. Persistent fields are made with the data
// set and bound to the packet's columns by name on every opening; a data set
// without them gets one field per column while it is open.

#include "dataset/apply/provider_flag.h"
#include "dataset/engine/field_type.h"
#include "db/bcd.h"
#include "db/sql_param.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace dataset {

class ClientDataSet;

class Field {
public:
    static constexpr const char* kMustHaveValue = "Field '%s' must have a value";

    // name: the field object's component name, such as "CPuntosPTVT_ID";
    // fieldName: the column it binds to. size: characters of a string,
    // decimals (scale) of a BCD; precision: digits of a BCD.
    Field(std::string name, std::string fieldName, FieldType type, int size = 0, int precision = 0);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    const std::string& name() const { return name_; }
    const std::string& FieldName() const { return fieldName_; }
    FieldType DataType() const { return type_; }
    int Size() const { return size_; }
    int Precision() const { return precision_; }
    // Position in the data set's field list, -1 when not in one.
    int Index() const { return index_; }
    ClientDataSet* DataSet() const { return dataSet_; }

    bool Required = false;
    bool ReadOnly = false;
    bool Visible = true;
    // Shown in grid titles and in messages when not empty.
    std::string DisplayLabel;
    // Characters a grid column shows; 0 lets the widget decide.
    int DisplayWidth = 0;

    bool FixedChar() const { return fixedChar_; }
    void setFixedChar(bool fixed) { fixedChar_ = fixed; }
    // DisplayLabel when set, else FieldName.
    const std::string& displayName() const;

    // From the packet's "ORIGIN" and "PROVFLAGS" column attributes.
    const std::string& Origin() const { return origin_; }
    ProviderFlags providerFlags() const { return providerFlags_; }

    // Reading the current row (or the row being inserted or edited).
    Value value() const;
    bool IsNull() const;
    // Null gives "". Dates read in the user's short date format, a time
    // stamp with its time of day after a blank.
    std::string AsString() const;
    // Null gives 0; text is converted, a value that is no integer raises.
    std::int64_t AsInteger() const;
    // Null gives 0 with the field's scale.
    db::Bcd AsBcd() const;
    db::SQLDate AsDate() const;
    // The text a grid cell or an edit shows.
    std::string DisplayText() const;

    // Writing into the row being inserted or edited (a browsing data set
    // enters edit state first); sets the data set's modified flag.
    void setValue(Value value);
    // Empty text clears a field that holds no text. A date is read in the
    // user's short date format; text that does not convert to the field's
    // type raises and leaves the row as it was.
    void setAsString(std::string_view text);
    void setAsInteger(std::int64_t value);
    // An exact decimal, such as 0.8 given as Bcd::fromScaled(8000, 4).
    void setAsBcd(const db::Bcd& value);
    void setAsDate(const db::SQLDate& value);
    void Clear();

    // The text a value of this field shows, used for rows other than the
    // current one too.
    std::string displayTextOf(const Value& value) const;
    std::string textOf(const Value& value) const;

private:
    friend class ClientDataSet;
    friend class FieldBinder;

    std::string name_;
    std::string fieldName_;
    FieldType type_;
    int size_;
    // The size the field was made with; a binding may lower size_ for one
    // opening only.
    int declaredSize_;
    int precision_;
    bool fixedChar_ = false;
    std::string origin_;
    ProviderFlags providerFlags_ = kDefaultProviderFlags;
    ClientDataSet* dataSet_ = nullptr;
    int index_ = -1;
    // Column of the engine's rows this field reads, -1 while unbound.
    int column_ = -1;
};

} // namespace dataset
