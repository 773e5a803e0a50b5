#pragma once
// The data types of fields and parameters of the database layer.

namespace db {

enum class FieldType {
    Unknown,
    String,
    FixedChar,
    SmallInt,
    Integer,
    LargeInt,
    AutoInc,
    Boolean,
    Float,
    Currency,
    BCD,
    FMTBcd,
    Date,
    Time,
    DateTime,
    TimeStamp,
    Bytes,
    VarBytes,
    Blob,
    Memo,
    Graphic,
    FmtMemo,
};

} // namespace db
