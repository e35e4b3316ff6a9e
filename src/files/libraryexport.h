#pragma once
// HDF5 and MATLAB level-5 files of an analysis view, written with the libraries made for them
// (HDF5 and matio). They are the library zarvik_hdf5mat, which a build without those
// libraries (the Windows cross-check) leaves out. Both write the same names and contents:
// `codes`, `values` (points x channels), `time`, and the view's description beside them.

#include "files/analysisexport.h"

#include <string>

namespace zarvik {

// Datasets `codes`, `values` and `time`; the rest as attributes of the root group. No object
// carries a time, so the same view always gives the same bytes.
void writeHdf5File(const AnalysisData& d, const std::string& fileName);

// Variables of the same names; `time` a column, the texts character arrays.
void writeMatFile(const AnalysisData& d, const std::string& fileName);

// The writer of every analysis format (HDF5, MATLAB, NumPy, WAV); none for the others.
AnalysisWriter analysisWriter(SaveFormat format);

// The libraries' versions, for the record: "HDF5 1.10.8, matio 1.5.23".
std::string libraryVersions();

} // namespace zarvik
