#pragma once

// The program's version as the build stamps it into each executable, read
// back the same way by the window's caption and the command line's
// --version. Needs the toolkit's core only, no widgets.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

class QByteArray;

namespace ProcFunc {

struct ProductVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t release = 0;
  std::uint16_t build = 0;
};

// The product version from the version record that the build stamps into an
// executable (a JSON object with "productVersion": "a.b.c.d"). Absent when
// the record or that field is missing or not four numbers of 16 bits.
std::optional<ProductVersion> ProductVersionFromRecord(const QByteArray& record);

// "1.00 (build 2)" for 1.0.0.2: minor and release stand side by side.
QString FormatVersion(const ProductVersion& version);

// The version string of the executable `fileName`; empty when the file has no
// readable version record. The file version is never used.
QString VersionStringOf(const std::string& fileName);

}  // namespace ProcFunc
