#pragma once
#include <string>

#include "InstallSteps.h"

// One whole installation: checks the setup package `packageId` of the running program
// against the CRC-32 the build recorded for it, unpacks it into `extractionDir` (the
// installer uses ExtractionDirectory(), the folder "temp" beside it), and runs the install
// steps from there. A package that fails the check is refused before anything is
// written. Everything is reported through `observer`; the extraction fills in
// `inputs.sourceDir` and `inputs.removeExtractedFiles`.
InstallResult RunInstallation(int packageId, const std::wstring& extractionDir, InstallInputs inputs,
                              InstallObserver& observer, std::wstring& installDir);
