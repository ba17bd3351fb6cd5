#include "GridExport.h"

#include <stdexcept>

// Placeholder until the file writers are in place.
namespace GridExport {

void writeCsv(const QString &, const ExportTable &) { throw std::runtime_error("导出功能尚未完成"); }
void writeXlsx(const QString &, const ExportTable &) { throw std::runtime_error("导出功能尚未完成"); }
void writeXls(const QString &, const ExportTable &) { throw std::runtime_error("导出功能尚未完成"); }

} // namespace GridExport
