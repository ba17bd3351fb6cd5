#pragma once

#include "ReportTemplate.h"

#include <QString>

namespace report {

// Template files on disk. Both throw TemplateError with a message fit to show.
ReportTemplate loadTemplateFile(const QString &path);
void saveTemplateFile(const QString &path, const ReportTemplate &t);

// Writes bytes to a file, replacing it; throws TemplateError on failure.
void writeWholeFile(const QString &path, const QByteArray &bytes);
QByteArray readWholeFile(const QString &path);

} // namespace report
