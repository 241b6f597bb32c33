// Reading the layer widths of the host's environment file (*.JWF).
#pragma once

#include <array>
#include <filesystem>
#include <string>

// Cell texts of the grid's 16 x 16 data cells: [group][layer].
using TGridTexts = std::array<std::array<std::string, 16>, 16>;

// Applies every LAYWID_ line of the file to `cells`: the row of its group gets
// the 16 widths as decimal text, negatives as "-1", missing ones "-1". Rows
// without a line keep their texts. False when the file cannot be opened or read
// to its end (rows already written stay). Never throws.
bool ImportJwf(const std::filesystem::path& path, TGridTexts& cells);

// True when the file name's extension, from its last dot on, is ".JWF" in any
// case: the host's own file names vary in case.
bool HasJwfExtension(const std::filesystem::path& file);
