#pragma once

#include "frames/export/BiffStream.h"
#include "frames/export/SharedStrings.h"

struct ExportTable;

// The worksheet substream of the table: column widths, the caption row in bold
// and one cell record per non-empty value; texts go to the shared strings.
BiffStream xlsSheet(const ExportTable &table, SharedStrings &strings);
