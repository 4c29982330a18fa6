// The workbook layer's fuzz targets as functions, so that the fuzz build (with
// LUMIVANE_FUZZ_ENTRY, which adds libFuzzer's entry point to each) and the replay test of every
// build run the same code. Each takes arbitrary bytes; only a crash or a sanitizer report is a
// finding, the layer's own errors being expected answers to bad input.
//   workbookOpen  the bytes are a workbook file
//   partXml       the first byte picks a part of a sound workbook, the rest is that part's XML
//   macroProject  the bytes are a macro project part (xl/vbaProject.bin)
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::sheet::fuzz {

void workbookOpen(const std::uint8_t* data, std::size_t size);
void partXml(const std::uint8_t* data, std::size_t size);
void macroProject(const std::uint8_t* data, std::size_t size);

} // namespace platform::sheet::fuzz
