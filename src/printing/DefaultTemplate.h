#pragma once

#include "PrintColumns.h"
#include "ReportTemplate.h"

namespace report {

// The page a new template starts with: a title band with the template's name,
// a page header with one framed, centred, shaded cell per grid column (in
// definition order, hidden columns kept, tag-999 columns left out) at the
// widths the columns have now, an empty master band bound to 主表 and a page
// footer with the page numbers.
ReportTemplate generateDefaultTemplate(const QString &name, bool landscape, const PrintColumns &columns);

// Text of the page-number footer of generated templates.
QString pageNumberText();

// Fills the master band with one framed field cell under each header cell
// that was generated from a grid column and has none yet; returns how many
// cells were added. The cells take the header's left and width.
int addFieldCellsUnderHeaders(ReportTemplate &t);

} // namespace report
