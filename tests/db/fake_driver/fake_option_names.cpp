#include "tests/db/fake_driver/fake_option_names.h"

namespace db::fake {

std::string FakeOptionNames::name(ConnectionOption option) {
    switch (option) {
    case ConnectionOption::HostName:
        return "HostName";
    case ConnectionOption::RoleName:
        return "RoleName";
    case ConnectionOption::WaitOnLocks:
        return "WaitOnLocks";
    case ConnectionOption::CommitRetain:
        return "CommitRetain";
    case ConnectionOption::AutoCommit:
        return "AutoCommit";
    case ConnectionOption::BlockingMode:
        return "BlockingMode";
    case ConnectionOption::ServerCharSet:
        return "ServerCharSet";
    case ConnectionOption::TransIsolation:
        return "TransIsolation";
    case ConnectionOption::SqlDialect:
        return "SqlDialect";
    case ConnectionOption::OsAuthentication:
        return "OsAuthentication";
    case ConnectionOption::ServerPort:
        return "ServerPort";
    case ConnectionOption::MultipleTransactions:
        return "MultipleTransactions";
    case ConnectionOption::TrimChar:
        return "TrimChar";
    case ConnectionOption::CustomString:
        return "CustomString";
    case ConnectionOption::ConnectionTimeout:
        return "ConnectionTimeout";
    case ConnectionOption::BlobSize:
        return "BlobSize";
    case ConnectionOption::MaxActiveCommands:
        return "MaxActiveCommands";
    case ConnectionOption::QualifiedName:
        return "QualifiedName";
    case ConnectionOption::QuotedObjectName:
        return "QuotedObjectName";
    }
    return "?";
}

std::string FakeOptionNames::name(MetaDataOption option) {
    switch (option) {
    case MetaDataOption::SchemaName:
        return "SchemaName";
    case MetaDataOption::PackageName:
        return "PackageName";
    case MetaDataOption::ObjectQuoteChar:
        return "ObjectQuoteChar";
    case MetaDataOption::SupportsTransaction:
        return "SupportsTransaction";
    case MetaDataOption::SupportsTransactions:
        return "SupportsTransactions";
    }
    return "?";
}

std::string FakeOptionNames::name(CommandOption option) {
    switch (option) {
    case CommandOption::RowsetSize:
        return "RowsetSize";
    case CommandOption::StoredProc:
        return "StoredProc";
    case CommandOption::PackageName:
        return "PackageName";
    case CommandOption::BlobSize:
        return "BlobSize";
    case CommandOption::TrimChar:
        return "TrimChar";
    }
    return "?";
}

} // namespace db::fake
