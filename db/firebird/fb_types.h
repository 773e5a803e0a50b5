#pragma once
// How Firebird's types appear through the driver interface: a driver type and
// subtype, the length of the binary form, and precision and scale.

#include "db/firebird/fb_message.h"

namespace db::firebird {

struct ColumnDescription {
    int type = 0;
    int subType = 0;
    int length = 0;    // bytes of the largest value
    int precision = 0; // characters of a text, digits of a number
    int scale = 0;     // decimals, never negative
};

class FbTypes {
public:
    // A column of a message; declaredPrecision is the catalogue's precision
    // of a NUMERIC or DECIMAL column, 0 when unknown.
    static ColumnDescription describe(const FbField& field, int declaredPrecision);

    // A procedure parameter as the catalogue stores it (RDB$FIELDS).
    static ColumnDescription describeCatalogue(int fieldType, int subType, int scale,
                                               int byteLength, int charLength, int precision,
                                               int charSet);

    static int bytesPerCharacter(unsigned charSet);
};

} // namespace db::firebird
