#include "common/cp1251.h"
#include "files/atomicfile.h"
#include "files/libraryexport.h"

#include <matio.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace zarvik {
namespace {

// The header's text in place of the library's, which carries the time of writing: the same
// view gives the same bytes.
constexpr char kMatHeader[] = "MATLAB 5.0 MAT-file, Zarvik export";

// MATLAB keeps a matrix column by column.
template <typename T>
std::vector<T> columnMajor(const std::vector<T>& rows, std::size_t points, std::size_t channels) {
    std::vector<T> out(rows.size());
    for (std::size_t i = 0; i < points; ++i)
        for (std::size_t c = 0; c < channels; ++c)
            out[c * points + i] = rows[i * channels + c];
    return out;
}

// The library does not notice a write that fails (a full disk, a file size limit): the file it
// leaves is then cut short. Its top level is the header and one element per variable, each
// with its length in a tag; they must run exactly to the end of the file.
bool holdsWholeVariables(const std::string& fileName, int variables) {
    std::ifstream in(std::filesystem::u8path(fileName), std::ios::binary);
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    std::streamoff at = 128;
    for (int v = 0; v < variables && in; ++v) {
        std::uint32_t tag[2] = {}; // type and length, in the byte order the library writes
        in.seekg(at);
        in.read(reinterpret_cast<char*>(tag), sizeof tag);
        at += static_cast<std::streamoff>(sizeof tag) + tag[1];
    }
    return in.good() && at == size;
}

class MatWriter {
public:
    explicit MatWriter(const std::string& name)
        : m_mat(Mat_CreateVer(name.c_str(), kMatHeader, MAT_FT_MAT5)), m_ok(m_mat != nullptr) {}
    ~MatWriter() {
        if (m_mat != nullptr)
            Mat_Close(m_mat);
    }
    MatWriter(const MatWriter&) = delete;
    MatWriter& operator=(const MatWriter&) = delete;

    void variable(const char* name, matio_classes kind, matio_types type, std::size_t rows,
                  std::size_t columns, const void* data) {
        if (!m_ok)
            return;
        std::size_t dims[2] = {rows, columns};
        matvar_t* var =
            Mat_VarCreate(name, kind, type, 2, dims, const_cast<void*>(data), MAT_F_DONT_COPY_DATA);
        m_ok = var != nullptr && Mat_VarWrite(m_mat, var, MAT_COMPRESSION_NONE) == 0;
        Mat_VarFree(var);
        ++m_variables;
    }

    void text(const char* name, const std::string& value) {
        // MATLAB's characters are UTF-16 code units; an empty text is its '' (0 x 0).
        const std::u16string chars = utf8ToUtf16(value);
        variable(name, MAT_C_CHAR, MAT_T_UINT16, chars.empty() ? 0 : 1, chars.size(), chars.data());
    }

    // True when every variable is in the file whole.
    bool close(const std::string& name) {
        const bool closed = m_mat != nullptr && Mat_Close(m_mat) == 0;
        m_mat = nullptr;
        return m_ok && closed && holdsWholeVariables(name, m_variables);
    }

private:
    mat_t* m_mat;
    bool m_ok;
    int m_variables = 0;
};

} // namespace

void writeMatFile(const AnalysisData& d, const std::string& fileName) {
    const std::size_t points = d.points;
    const std::size_t channels = d.channels.size();
    const std::vector<std::uint16_t> codes = columnMajor(d.codes, points, channels);
    const std::vector<double> values = columnMajor(d.values, points, channels);
    const std::vector<std::int32_t> numbers(d.channels.begin(), d.channels.end());
    const std::int32_t smoothing = d.smoothing;
    const double period = d.samplePeriodUs;

    replaceFileByName(fileName, [&](const std::string& temp) {
        MatWriter mat(temp);
        mat.variable("codes", MAT_C_UINT16, MAT_T_UINT16, points, channels, codes.data());
        mat.variable("values", MAT_C_DOUBLE, MAT_T_DOUBLE, points, channels, values.data());
        mat.variable("time", MAT_C_DOUBLE, MAT_T_DOUBLE, points, 1, d.time.data());
        mat.variable("channels", MAT_C_INT32, MAT_T_INT32, 1, channels, numbers.data());
        mat.variable("sample_period_us", MAT_C_DOUBLE, MAT_T_DOUBLE, 1, 1, &period);
        mat.variable("scale", MAT_C_DOUBLE, MAT_T_DOUBLE, 1, channels, d.scale.data());
        mat.variable("shift", MAT_C_DOUBLE, MAT_T_DOUBLE, 1, channels, d.shift.data());
        mat.text("units", d.units);
        mat.variable("smoothing", MAT_C_INT32, MAT_T_INT32, 1, 1, &smoothing);
        mat.text("x_title", d.xTitle);
        mat.text("y_title", d.yTitle);
        mat.text("comment", d.comment);
        mat.text("measured_at", d.measuredAt);
        mat.text("source", d.source);
        return mat.close(temp);
    });
}

} // namespace zarvik
