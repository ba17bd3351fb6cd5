#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class Dataset;
class QLineEdit;
class QSpinBox;

// Plain editors bound to fields of a dataset's current row: they show the row
// as it is, and a change the person makes goes into the row, which enters edit
// state as with any other change.
class FieldBinding : public QObject {
    Q_OBJECT
public:
    explicit FieldBinding(Dataset &dataset, QObject *parent = nullptr);

    void bind(QLineEdit *edit, const QString &field);
    void bind(QSpinBox *spin, const QString &field);

    // Shows the current row in every bound editor.
    void refresh();

private:
    Dataset &m_ds;
    QList<std::function<void()>> m_readers;
    bool m_loading = false;
};
