// Any bytes may arrive as a data file (a dropped file, a folder of foreign files). The reader
// must reject them or read them consistently; the comment browser's quick look must agree
// with it on the titles and the comment.

#include "files/d8cfile.h"
#include "files/d8cformat.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bool loaded = false;
    zarvik::D8cContents c;
    try {
        c = zarvik::parseD8c(data, size);
        loaded = true;
    } catch (const zarvik::FileError&) {
    }

    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const zarvik::D8cSummary s = zarvik::scanD8c(in);

    if (loaded) {
        if (c.SampleData.size() != c.header.DataSize ||
            s.status != zarvik::D8cSummary::Status::Ok || s.XTitle != c.XTitle ||
            s.YTitle != c.YTitle || s.Comment != c.Comment)
            std::abort();
    }
    return 0;
}
