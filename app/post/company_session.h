#pragma once
// One company signed in to as the window signs in: the window's own
// connection, commands and data sets over it, the company's points of sale
// and the order of day, month and year its database reads dates in.

#include "app/form/form_session.h"
#include "db/sql_param.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace db {
class SQLCommand;
}

namespace app::post {

struct PointOfSale {
    std::int64_t id = 0;
    std::string name;
};

// The company could not be signed in to.
class SignInError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The server entry holds no database of that company.
class UnknownCompany : public SignInError {
public:
    using SignInError::SignInError;
};

class CompanySession {
public:
    struct Credentials {
        std::string serverEntry;
        std::string user;
        std::string password;
    };

    // Signs in to the company. Raises SignInError.
    CompanySession(const Credentials& credentials, const std::string& company);

    const std::string& company() const { return company_; }
    FormSession& form() { return form_; }
    // In the order of their keys.
    const std::vector<PointOfSale>& points() const { return points_; }
    const PointOfSale* point(std::int64_t id) const;
    // "DMY", "MDY"...; empty when the company stores none.
    const std::string& dateOrder() const { return dateOrder_; }

    // Runs a query and hands each row to `row`, its columns in order.
    void select(const std::string& sql,
                const std::function<void(const std::vector<db::SQLValue>& row)>& row);

    void startTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;
    // Whether the database still answers a statement: after a failure, tells
    // a refused statement from a lost connection.
    bool answers();

private:
    std::string company_;
    FormSession form_;
    std::vector<PointOfSale> points_;
    std::string dateOrder_;
};

// Column values read the way the tool needs them.
std::string textOf(const db::SQLValue& value);
std::int64_t integerOf(const db::SQLValue& value);
// A numeric value with two decimals, in hundredths.
std::int64_t centsOf(const db::SQLValue& value);

} // namespace app::post
