#include "files/atomicfile.h"
#include "files/fileerror.h"
#include "files/libraryexport.h"

#include <hdf5.h>

#include <cstdlib>
#include <cstring>
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

// Where the library keeps the file it builds in memory: its core driver allocates through
// these callbacks, so the finished file can be written from there without a copy.
struct ImageMemory {
    void* bytes = nullptr;

    static void* allocate(std::size_t size, H5FD_file_image_op_t, void* self) {
        return static_cast<ImageMemory*>(self)->bytes = std::malloc(size);
    }
    static void* copy(void* to, const void* from, std::size_t size, H5FD_file_image_op_t, void*) {
        return std::memcpy(to, from, size);
    }
    static void* resize(void* bytes, std::size_t size, H5FD_file_image_op_t, void* self) {
        return static_cast<ImageMemory*>(self)->bytes = std::realloc(bytes, size);
    }
    static herr_t release(void* bytes, H5FD_file_image_op_t, void* self) {
        std::free(bytes);
        static_cast<ImageMemory*>(self)->bytes = nullptr;
        return 0;
    }
    // The property lists' copies share the one record.
    static void* share(void* self) { return self; }
    static herr_t keep(void*) { return 0; }
};

// A file built in memory and written in place of `fileName` by the atomic writer: the library
// itself never touches the disk, so a failed write cannot leave it half closed (which leaks
// and brings it down when the program exits).
class Hdf5Image {
public:
    explicit Hdf5Image(std::size_t expectedSize)
        : m_fapl(H5Pcreate(H5P_FILE_ACCESS), H5Pclose),
          m_fcpl(H5Pcreate(H5P_FILE_CREATE), H5Pclose),
          m_dcpl(H5Pcreate(H5P_DATASET_CREATE), H5Pclose) {
        H5FD_file_image_callbacks_t callbacks = {ImageMemory::allocate,
                                                 ImageMemory::copy,
                                                 ImageMemory::resize,
                                                 ImageMemory::release,
                                                 ImageMemory::share,
                                                 ImageMemory::keep,
                                                 &m_memory};
        // Without object times the same view gives the same bytes.
        m_ok = m_fapl.valid() && m_fcpl.valid() && m_dcpl.valid() &&
               H5Pset_fapl_core(m_fapl.get(), expectedSize, 0) >= 0 &&
               H5Pset_file_image_callbacks(m_fapl.get(), &callbacks) >= 0 &&
               H5Pset_obj_track_times(m_fcpl.get(), 0) >= 0 &&
               H5Pset_obj_track_times(m_dcpl.get(), 0) >= 0;
        // The library first tries to open a file of the name (reading an existing one into
        // memory), so the name is one no file has.
        if (m_ok) {
            m_file = H5Fcreate("/dev/null/zarvik", H5F_ACC_TRUNC, m_fcpl.get(), m_fapl.get());
            m_ok = m_file >= 0;
        }
    }
    ~Hdf5Image() {
        if (m_file >= 0)
            H5Fclose(m_file);
    }
    Hdf5Image(const Hdf5Image&) = delete;
    Hdf5Image& operator=(const Hdf5Image&) = delete;

    // Writes the finished file in place of `fileName`; false when the library failed.
    bool write(const std::string& fileName) {
        if (!m_ok || H5Fflush(m_file, H5F_SCOPE_GLOBAL) < 0)
            return false;
        // The file's length: what the library's own copy of the image would take.
        const ssize_t size = H5Fget_file_image(m_file, nullptr, 0);
        if (size <= 0 || m_memory.bytes == nullptr)
            return false;
        replaceFileContents(fileName, m_memory.bytes, static_cast<std::size_t>(size));
        return true;
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
    ImageMemory m_memory;
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

    Hdf5Image h5(d.codes.size() * 10 + d.time.size() * 8 + 65536);
    h5.dataset("codes", H5T_STD_U16LE, H5T_NATIVE_UINT16, {points, channels}, d.codes.data(),
               d.codes.size());
    h5.dataset("values", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, {points, channels}, d.values.data(),
               d.values.size());
    h5.dataset("time", H5T_IEEE_F64LE, H5T_NATIVE_DOUBLE, {points}, d.time.data(), d.time.size());
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
    if (!h5.write(fileName))
        throw FileError(FileError::Kind::WriteFailed, "Unable to write to " + fileName);
}

} // namespace zarvik
