#include "FieldBinding.h"

#include "data/Dataset.h"

#include <QLineEdit>
#include <QSpinBox>

FieldBinding::FieldBinding(Dataset &dataset, QObject *parent) : QObject(parent), m_ds(dataset)
{
    connect(&m_ds, &Dataset::rowChanged, this, [this](int row) {
        if (row == m_ds.recNo())
            refresh();
    });
    connect(&m_ds, &Dataset::currentRowChanged, this, &FieldBinding::refresh);
    connect(&m_ds, &Dataset::rowsReset, this, &FieldBinding::refresh);
}

void FieldBinding::refresh()
{
    m_loading = true;
    for (const auto &read : std::as_const(m_readers))
        read();
    m_loading = false;
}

void FieldBinding::bind(QLineEdit *edit, const QString &field)
{
    m_readers.append([this, edit, field] {
        const QString text = m_ds.recNo() >= 0 && m_ds.hasField(field) ? m_ds.value(field).toString() : QString();
        // Only a real difference is shown, so the caret stays where the person is typing.
        if (edit->text() != text)
            edit->setText(text);
    });
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString &text) {
        if (!m_ds.setValue(field, text))
            refresh(); // the row may not change: show it as it is
    });
    refresh();
}

void FieldBinding::bind(QSpinBox *spin, const QString &field)
{
    m_readers.append([this, spin, field] {
        if (m_ds.recNo() >= 0 && m_ds.hasField(field))
            spin->setValue(m_ds.value(field).toInt());
    });
    connect(spin, &QSpinBox::valueChanged, this, [this, field](int value) {
        if (m_loading)
            return;
        if (!m_ds.setValue(field, value))
            refresh();
    });
    refresh();
}
