#pragma once

#include "PrintColumns.h"

#include <QString>

class Dataset;
class QWidget;

// What a list, bill or report screen calls for its "打印" button: checks the
// print right on the module, reloads the company information, runs the print
// screen over `master` (and `detail`, the bill lines, when given) with the
// grid's columns, writes the log row "打印" when something was printed and
// releases the print screen. Returns whether something was printed.
bool printDataset(QWidget *owner, const QString &module, Dataset *master, const PrintColumns &columns,
                  Dataset *detail = nullptr);
