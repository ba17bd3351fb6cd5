#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// The target file of an export. The data goes to a temporary file next to it
// and replaces the target only on commit(), so a failed export never leaves a
// half-written file or destroys the previous one. Every failure throws
// std::runtime_error with a message fit to show to the person.
class ExportFile {
public:
    explicit ExportFile(const QString &path);

    void write(const QByteArray &bytes);
    void commit();

private:
    [[noreturn]] void fail();

    QSaveFile m_file;
};

// The message for export input that a format cannot hold (too many rows, …).
[[noreturn]] void refuseExport(const QString &message);
