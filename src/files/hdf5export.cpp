#include "files/atomicfile.h"
#include "files/libraryexport.h"

#include <hdf5.h>

#include <vector>

namespace zarvik {
namespace {

// An identifier of the library, closed with its own function when it goes.
class Id {
public:
    Id(hid_t id, herr_t (*close)(hid_t)) : m_id(id), m_close(close) {}
    ~Id() {
        if (m_id >= 0)
            m_close(m_id);
    }
    Id(const Id&) = delete;
    Id& operator=(const Id&) = delete;
    hid_t get() const { return m_id; }
    bool valid() const { return m_id >= 0; }

private:
    hid_t m_id;
    herr_t (*m_close)(hid_t);
};

// The library prints its error stack on standard error by default; the caller reports the
// failure in its own words instead.
class QuietErrors {
public:
    QuietErrors() {
        H5Eget_auto2(H5E_DEFAULT, &m_func, &m_data);
        H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    }
    ~QuietErrors() { H5Eset_auto2(H5E_DEFAULT, m_func, m_data); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    H5E_auto2_t m_func = nullptr;
    void* m_data = nullptr;
};

// A file the library builds in memory (its core driver) and writes whole into `name` when it
// is closed: one write of the finished file, no copy of it, and a failed write is reported by
// the close and leaves the library sound (a file written piece by piece that fails to close
// brings the library down when the program exits).
class Hdf5File {
public:
    Hdf5File(const std::string& name, std::size_t expectedSize)
        : m_fapl(H5Pcreate(H5P_FILE_ACCESS), H5Pclose),
          m_fcpl(H5Pcreate(H5P_FILE_CREATE), H5Pclose),
          m_dcpl(H5Pcreate(H5P_DATASET_CREATE), H5Pclose) {
        // Without object times the same view gives the same bytes.
        m_ok = m_fapl.valid() && m_fcpl.valid() && m_dcpl.valid() &&
               H5Pset_fapl_core(m_fapl.get(), expectedSize, 1) >= 0 &&
               H5Pset_obj_track_times(m_fcpl.get(), 0) >= 0 &&
               H5Pset_obj_track_times(m_dcpl.get(), 0) >= 0;
        if (m_ok) {
            m_file = H5Fcreate(name.c_str(), H5F_ACC_TRUNC, m_fcpl.get(), m_fapl.get());
            m_ok = m_file >= 0;
        }
    }
    ~Hdf5File() {
        if (m_file >= 0)
            H5Fclose(m_file);
    }
    Hdf5File(const Hdf5File&) = delete;
    Hdf5File& operator=(const Hdf5File&) = delete;

    // True when everything went into the file.
    bool close() {
        const bool closed = m_file >= 0 && H5Fclose(m_file) >= 0;
        m_file = -1;
        return m_ok && closed;
    }

    void dataset(const char* name, hid_t fileType, hid_t memType, std::vector<hsize_t> dims,
                 const void* data, std::size_t count) {
        if (!m_ok)
            return;
        const Id space(H5Screate_simple(static_cast<int>(dims.size()), dims.data(), nullptr),
                       H5Sclose);
        const Id set(space.valid() ? H5Dcreate2(m_file, name, fileType, space.get(), H5P_DEFAULT,
                                                m_dcpl.get(), H5P_DEFAULT)
                                   : -1,
                     H5Dclose);
        m_ok = set.valid() && (count == 0 || H5Dwrite(set.get(), memType, H5S_ALL, H5S_ALL,
                                                      H5P_DEFAULT, data) >= 0);
    }

    void attribute(const char* name, hid_t fileType, hid_t memType,
                   const std::vector<hsize_t>& dims, const void* data) {
        if (!m_ok)
            return;
        const Id space(dims.empty()
                           ? H5Screate(H5S_SCALAR)
                           : H5Screate_simple(static_cast<int>(dims.size()), dims.data(), nullptr),
                       H5Sclose);
        const Id attr(space.valid() ? H5Acreate2(m_file, name, fileType, space.get(), H5P_DEFAULT,
                                                 H5P_DEFAULT)
                                    : -1,
                      H5Aclose);
        hsize_t count = 1;
        for (hsize_t n : dims)
            count *= n;
        m_ok = attr.valid() && (count == 0 || H5Awrite(attr.get(), memType, data) >= 0);
    }

    void text(const char* name, const std::string& value) {
        if (!m_ok)
            return;
        // A UTF-8 string of any length, which h5py reads back as str.
        const Id type(H5Tcopy(H5T_C_S1), H5Tclose);
        m_ok = type.valid() && H5Tset_size(type.get(), H5T_VARIABLE) >= 0 &&
               H5Tset_cset(type.get(), H5T_CSET_UTF8) >= 0;
        const char* p = value.c_str();
        attribute(name, type.get(), type.get(), {}, &p);
    }

private:
    Id m_fapl;
    Id m_fcpl;
    Id m_dcpl;
    hid_t m_file = -1;
    bool m_ok = false;
};

} // namespace

void writeHdf5File(const AnalysisData& d, const std::string& fileName) {
    const QuietErrors quiet;
    const hsize_t points = d.points;
    const hsize_t channels = d.channels.size();
    const std::vector<std::int32_t> numbers(d.channels.begin(), d.channels.end());
    const std::int32_t smoothing = d.smoothing;

    replaceFileByName(fileName, [&](const std::string& temp) {
        Hdf5File h5(temp, d.codes.size() * 10 + d.time.size() * 8 + 65536);
        h5.dataset("codes", H5T_STD_U16LE, H5T_NATIVE_UINT16, {points, channels}, d.codes.data(),
                   d.codes.size());
        h5.dataset("values", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, {points, channels}, d.values.data(),
                   d.values.size());
        h5.dataset("time", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, {points}, d.time.data(),
                   d.time.size());
        h5.attribute("channels", H5T_STD_I32LE, H5T_NATIVE_INT32, {channels}, numbers.data());
        h5.attribute("sample_period_us", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, {}, &d.samplePeriodUs);
        h5.attribute("scale", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, {channels}, d.scale.data());
        h5.attribute("shift", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, {channels}, d.shift.data());
        h5.text("units", d.units);
        h5.attribute("smoothing", H5T_STD_I32LE, H5T_NATIVE_INT32, {}, &smoothing);
        h5.text("x_title", d.xTitle);
        h5.text("y_title", d.yTitle);
        h5.text("comment", d.comment);
        h5.text("measured_at", d.measuredAt);
        h5.text("source", d.source);
        return h5.close();
    });
}

} // namespace zarvik
