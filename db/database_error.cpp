#include "db/database_error.h"
