// Feeds arbitrary bytes to the data packet reader: each must be read in full
// or refused as an invalid packet, and every row it accepts must decode.

#include "dataset/engine/data_set_engine_error.h"
#include "dataset/engine/engine_store.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const dataset::EngineStore store(std::vector<std::uint8_t>(data, data + size));
        for (std::size_t r = 0; r < store.size(); ++r) {
            for (std::size_t c = 0; c < store.columns().size(); ++c) {
                (void)store.value(store.rowAt(r), c);
            }
        }
        (void)store.delta();
    } catch (const dataset::DataSetEngineError&) {
    }
    return 0;
}
