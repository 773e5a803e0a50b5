#include "db/sql_stored_proc.h"

#include "db/proc_param_binder.h"
#include "db/proc_param_reader.h"
#include "db/sql_connection.h"

namespace db {

void SQLStoredProc::setStoredProcName(std::string_view name) {
    descriptions_.reset();
    setCommandText(name);
}

const std::vector<ProcParamDesc>& SQLStoredProc::descriptions() {
    if (!descriptions_) {
        ++descriptionReads_;
        descriptions_ = ProcParamReader::read(*connection(), StoredProcName(), PackageName);
    }
    return *descriptions_;
}

void SQLStoredProc::buildParams() {
    params().clear();
    for (const ProcParamDesc& d : descriptions()) {
        SQLParam param;
        param.name = d.name;
        param.dataType = d.fieldType;
        param.direction = d.direction;
        params().push_back(std::move(param));
    }
}

void SQLStoredProc::prepareStatement() {
    if (StoredProcName().empty()) {
        throw DatabaseError(prefixed(kNoStatement));
    }
    setupStatement();
    if (const int r = statement()->SetOption(CommandOption::StoredProc, 1); r != 0) {
        raiseDriverError(r, statement());
    }
    if (const int r = statement()->SetOption(CommandOption::PackageName, PackageName); r != 0) {
        raiseDriverError(r, statement());
    }
    prepareText(connection()->quotedObjectName(StoredProcName()),
                static_cast<int>(params().size()));
}

void SQLStoredProc::bindParams() {
    const std::vector<ProcParamDesc>& described = descriptions();
    if (const int r = ProcParamBinder::bind(*statement(), params(), described); r != 0) {
        connection()->raiseDriverError(r, connection()->serverConnection());
    }
}

void SQLStoredProc::readBackParams() {
    if (params().empty() || !descriptions_) {
        return;
    }
    if (const int r = ProcParamBinder::readBack(*statement(), params(), *descriptions_); r != 0) {
        raiseDriverError(r, statement());
    }
}

std::int64_t SQLStoredProc::execProc() {
    if (active()) {
        throw DatabaseError(kDataSetOpen);
    }
    checkConnection();
    setRowsAffected(0);
    struct AfterRun {
        SQLStoredProc& proc;
        ~AfterRun() {
            if (proc.hasCursor()) {
                proc.releaseStatement();
            } else if (proc.statement() != nullptr) {
                proc.statement()->close();
            }
        }
    } afterRun{*this};
    ensurePrepared();
    executePrepared();
    std::int64_t rows = rowsAffected();
    if (rows <= 0) {
        rows = 0;
        if (const int r = statement()->getRowsAffected(&rows); r != 0) {
            raiseDriverError(r, statement());
        }
        setRowsAffected(rows);
    }
    return rows;
}

} // namespace db
