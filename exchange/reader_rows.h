// The reader's inner steps, shared by its files: applying one split line to
// the store, in the order the forms are tried.
#pragma once

#include <cstddef>

#include "exchange/line_split.h"
#include "exchange/store.h"

// Header, layer, attribute, modifier, grouping and numbered-point lines.
// True when one of them took the line.
bool JwwTakeStateLine(TJwwData& d, const TJwwFields& f);

// Entity lines and plain four-field lines; anything else is ignored.
void JwwTakeEntityLine(TJwwData& d, const TJwwFields& f);

// Splits `line[0..size)` in place and applies it. The bytes are overwritten.
void JwwApplyLine(TJwwData& d, char* line, std::size_t size);
