#include "files/libraryexport.h"

#include <hdf5.h>
#include <matio.h>

namespace zarvik {

AnalysisWriter analysisWriter(SaveFormat format) {
    switch (format) {
    case SaveFormat::Hdf5:
        return writeHdf5File;
    case SaveFormat::Mat:
        return writeMatFile;
    default:
        return coreAnalysisWriter(format);
    }
}

std::string libraryVersions() {
    unsigned major = 0, minor = 0, release = 0;
    H5get_libversion(&major, &minor, &release);
    int matMajor = 0, matMinor = 0, matRelease = 0;
    Mat_GetLibraryVersion(&matMajor, &matMinor, &matRelease);
    return "HDF5 " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(release) + ", matio " + std::to_string(matMajor) + "." +
           std::to_string(matMinor) + "." + std::to_string(matRelease);
}

} // namespace zarvik
