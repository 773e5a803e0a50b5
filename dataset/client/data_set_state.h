#pragma once
// The states of a client data set.

namespace dataset {

enum class DataSetState { Inactive, Browse, Edit, Insert };

} // namespace dataset
