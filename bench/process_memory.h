#pragma once

/// The benchmark process's own memory, in mebibytes.
namespace ProcessMemory {
/// What it holds now.
double residentMegabytes();
/// The most it has held so far.
double peakResidentMegabytes();
} // namespace ProcessMemory
